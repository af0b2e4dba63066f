// Choosing a list entry: its description is shown and it becomes current.
#include "catalogue/FirmwareList.h"
#include "catalogue/ImageCheck.h"
#include "StatusTexts.h"
#include "ViewController.h"
#include "platform/TextDecoding.h"

namespace {
constexpr std::size_t kMaxDescriptionBytes = 1u << 20;
}

// A malformed entry is refused whole before anything of it is taken over, so
// that the identifiers, the version and the image always belong to one entry.
bool ViewController::selectionIsUsable(const std::vector<std::string>& fields, std::array<std::int64_t, 3>& version,
                                       std::uint32_t& vendor, std::uint32_t& product) {
  if (fields.size() < catalogue::kFieldsToSelect) {
    showStatus(texts::entryIncomplete);
    return false;
  }
  if (!platform::isHttpURL(fields[catalogue::fDescription])) {
    showStatus(texts::entryBadDescriptionUrl);
    return false;
  }
  if (!catalogue::readHexField(fields[catalogue::fVendor], vendor) ||
      !catalogue::readHexField(fields[catalogue::fProduct], product)) {
    showStatus(texts::entryBadIds);
    return false;
  }
  if (!catalogue::readVersionField(fields[catalogue::fVersion], version)) {
    showStatus(texts::entryBadVersion);
    return false;
  }
  catalogue::ImageCheck check;
  switch (catalogue::readImageCheck(fields, check, listSigned_)) {
    case catalogue::ImageCheckReading::badHash: showStatus(texts::entryBadHash); return false;
    case catalogue::ImageCheckReading::badSize: showStatus(texts::entryBadSize); return false;
    case catalogue::ImageCheckReading::missingHash: showStatus(texts::entryHashMissing); return false;
    case catalogue::ImageCheckReading::ok: return true;
  }
  return false;
}

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
  const auto fields = catalogue::splitFields(line);
  std::array<std::int64_t, 3> newVersion = version();
  std::uint32_t newVid = vid(), newPid = pid();
  if (!selectionIsUsable(fields, newVersion, newVid, newPid)) return selectionFailed();

  platform::Data bytes;
  if (const char* failure = readFromServer(fields[catalogue::fDescription], textReadOptions_, kMaxDescriptionBytes,
                                           texts::descriptionTooLarge, texts::descriptionFailed, bytes)) {
    showStatus(failure);
    return selectionFailed();
  }
  const auto description = platform::stringFromGB18030(bytes);
  if (!description) {
    showStatus(texts::descriptionNotText);
    return selectionFailed();
  }
  vid_ = newVid;
  pid_ = newPid;
  showStatus(QStringLiteral(" ") + QString::fromStdString(*description));
  updateBtn->setEnabled(true);
  version_ = newVersion;
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
