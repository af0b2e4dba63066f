// Every read of the firmware server: bounded, and refused with a text of its own.
#include "ViewController.h"
#include "catalogue/ListReading.h"

const char* ViewController::readFromServer(const std::string& url, platform::UrlReadOptions options,
                                           std::size_t limit, const char* tooLargeText, const char* failedText,
                                           platform::Data& bytes) const {
  return catalogue::readFromServer(url, std::move(options), limit, tooLargeText, failedText, bytes);
}
