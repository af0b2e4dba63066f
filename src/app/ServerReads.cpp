// Every read of the firmware server: bounded, refused with a text of its own,
// and shown by a busy pointer while it blocks the window.
#include "ViewController.h"
#include "WindowBusyCursor.h"

const char* ViewController::readFromServer(const std::string& url, platform::UrlReadOptions options,
                                           std::size_t limit, const char* tooLargeText, const char* failedText,
                                           platform::Data& bytes) const {
  options.maxBytes = limit;
  const WindowBusyCursor busy(this);
  platform::UrlReadResult read = platform::readURL(url, options);
  if (read.status == platform::UrlReadResult::Status::tooLarge) return tooLargeText;
  if (!read.ok()) return failedText;
  bytes = std::move(read.bytes);
  return nullptr;
}
