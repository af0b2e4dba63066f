// Choosing a list entry: its description is shown and it becomes current.
#include "ViewController.h"
#include "road/ChosenEntry.h"

void ViewController::tableViewOnClick() {
  const int row = tableSelectedRow();
  if (row < 0 || !lines || row >= numberOfRows()) return;
  // The entry stays as it was while its image is being downloaded.
  if (ask([](const update::AdapterExchange& e) { return e.downloadUnderWay(); })) return;
  const std::string line((*lines)[static_cast<std::size_t>(row)]);
  const road::ChosenEntry chosen = road::chooseEntry(line, textReadOptions_);
  if (chosen.failure) {
    showStatus(chosen.failure);
    return;
  }
  vid_ = chosen.entry.vendorId;
  pid_ = chosen.entry.productId;
  showStatus(QStringLiteral(" ") + QString::fromStdString(chosen.description));
  updateBtn->setEnabled(true);
  version_ = chosen.entry.version;
  currentLine_ = line;
}
