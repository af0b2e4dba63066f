// Reading the firmware list while the window loads.
#include "ViewController.h"
#include "WindowBusyCursor.h"
#include "catalogue/CatalogueTexts.h"
#include "road/ListRead.h"

void ViewController::readlst() {
  road::ListRead read = [&] {
    const WindowBusyCursor busy(this);
    return road::readList(listAddress_.toStdString(), textReadOptions_, trustedKeys_);
  }();
  if (read.lines) {
    lines = std::move(read.lines), listSigned_ = read.signedList;
    showStatus(texts::listRead);
  } else if (read.failure != catalogue::Fault::none) {
    showStatus(QString::fromStdString(road::failureTextOf(read)));
  }
}
