// Every read of the firmware server: bounded, refused with a text of its own,
// and shown by a busy pointer while it blocks the window.
#include "ViewController.h"
#include "WindowBusyCursor.h"
#include "catalogue/ListReading.h"

const char* ViewController::readFromServer(const std::string& url, platform::UrlReadOptions options,
                                           std::size_t limit, const char* tooLargeText, const char* failedText,
                                           platform::Data& bytes) const {
  const WindowBusyCursor busy(this);
  return catalogue::readFromServer(url, std::move(options), limit, tooLargeText, failedText, bytes);
}
