// Every read of the firmware server: bounded, and refused with a text of its own.
#include "ServerRead.h"

namespace road {

const char* readFromServer(const std::string& url, platform::UrlReadOptions options, std::size_t limit,
                           const char* tooLargeText, const char* failedText, platform::Data& bytes,
                           std::string* contentType) {
  options.maxBytes = limit;
  platform::UrlReadResult read = platform::readURL(url, options);
  if (read.status == platform::UrlReadResult::Status::tooLarge) return tooLargeText;
  if (!read.ok()) return failedText;
  bytes = std::move(read.bytes);
  if (contentType) *contentType = std::move(read.contentType);
  return nullptr;
}

}  // namespace road
