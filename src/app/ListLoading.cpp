// Reading the firmware list while the window loads.
#include <algorithm>

#include "catalogue/FirmwareList.h"
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
  auto text = platform::stringFromUTF8(bytes);
  if (!text) {
    showStatus(texts::listNotText);
    return;
  }
  catalogue::removeCarriageReturns(*text);
  lines = catalogue::splitAtLineFeeds(*text);
  lst = std::move(*text);
  showStatus(texts::listRead);
}
