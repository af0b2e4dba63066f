// Reading the firmware list while the window loads.
#include "ViewController.h"
#include "road/ListRead.h"

void ViewController::readlst() {
  road::ListRead read = road::readList(listAddress_.toStdString(), textReadOptions_);
  if (read.lines) lines = std::move(read.lines);
  if (read.text) showStatus(read.text);
}
