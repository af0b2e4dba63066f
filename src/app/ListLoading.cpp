// Reading the firmware list while the window loads.
#include "StatusTexts.h"
#include "ViewController.h"
#include "catalogue/ListReading.h"
#include "platform/UrlReader.h"

void ViewController::readlst() {
  const std::string address = listAddress_.toStdString();
  if (!platform::isHttpURL(address)) return;
  auto reading = catalogue::readFirmwareList(address, textReadOptions_, trustedKeys_);
  if (reading.failure) {
    showStatus(reading.failure);
    return;
  }
  lines = std::move(reading.lines);
  listSigned_ = reading.signedList;
  showStatus(texts::listRead);
}
