// Reading the firmware list while the window loads.
#include "catalogue/ListLines.h"
#include "StatusTexts.h"
#include "ViewController.h"
#include "platform/TextDecoding.h"

namespace {
constexpr std::size_t kMaxListBytes = 4u << 20;
}

void ViewController::readlst() {
  const std::string address = listAddress_.toStdString();
  if (!platform::isHttpURL(address)) return;
  platform::Data bytes;
  if (const char* failure = readFromServer(address, textReadOptions_, kMaxListBytes, texts::listTooLarge, texts::listFailed, bytes)) {
    showStatus(failure);
    return;
  }
  if (!platform::isUTF8(bytes)) {
    showStatus(texts::listNotText);
    return;
  }
  // Already the form the tool keeps its texts in: the bytes become the lines
  // without a copy.
  lines.emplace(std::move(bytes));
  showStatus(texts::listRead);
}
