// Choosing a list entry: its description is shown and it becomes current.
#include "StatusTexts.h"
#include "ViewController.h"
#include "WindowBusyCursor.h"
#include "road/ChosenEntry.h"

void ViewController::tableViewOnClick() {
  const int row = tableSelectedRow();
  if (row < 0 || !lines || row >= numberOfRows()) return;
  // From the update press to the last piece the entry being written stays
  // current, and so does the text that tells how its update goes.
  if (ask([](const update::AdapterExchange& e) { return e.updateUnderWay(); })) {
    showStatus(texts::busyForSelection);
    selectRow(currentRow_);
    return;
  }
  const std::string line((*lines)[static_cast<std::size_t>(row)]);
  const road::ChosenEntry chosen = [&] {
    const WindowBusyCursor busy(this);
    return road::chooseEntry(line, textReadOptions_, listSigned_);
  }();
  if (chosen.failure != catalogue::Fault::none) {
    showStatus(catalogue::textOf(chosen.failure));
    return selectionFailed();
  }
  vid_ = chosen.entry.vendorId;
  pid_ = chosen.entry.productId;
  showStatus(QStringLiteral(" ") + QString::fromStdString(chosen.description));
  updateBtn->setEnabled(true);
  version_ = chosen.entry.version;
  currentLine_ = line;
  currentRow_ = row;
}

// The row the user sees highlighted is not the entry the button would write:
// the button waits for the next entry that is read whole.
void ViewController::selectionFailed() {
  updateBtn->setEnabled(false);
  currentLine_.reset();
}

void ViewController::selectRow(int row) {
  if (row < 0 || !tableView->model()) return;
  tableView->selectRow(row);
}
