#pragma once
#include <cstddef>
#include <string>

#include "platform/Data.h"
#include "platform/UrlReader.h"

namespace road {

// Reads a URL of the firmware server, at most `limit` bytes. Returns the text
// to show when the read did not give the whole resource, or nullptr; the
// declared media type goes to `contentType` when asked for.
const char* readFromServer(const std::string& url, platform::UrlReadOptions options, std::size_t limit,
                           const char* tooLargeText, const char* failedText, platform::Data& bytes,
                           std::string* contentType = nullptr);

}  // namespace road
