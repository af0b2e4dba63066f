#pragma once
#include <optional>
#include <string>

#include "catalogue/ListLines.h"
#include "platform/UrlReader.h"

namespace road {

struct ListRead {
  std::optional<catalogue::ListLines> lines;  // absent when the list was not read
  const char* text = nullptr;                 // what to say; none for an address that is not a URL
};

// Reads the firmware list: a UTF-8 text of at most 4 MiB, kept as its lines.
ListRead readList(const std::string& address, const platform::UrlReadOptions& options);

}  // namespace road
