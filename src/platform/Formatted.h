#pragma once
#include <cstdio>
#include <string>

namespace platform {

// A status pattern filled in, whatever its length: a list of adapter nodes
// or a server's file name must never be cut.
template <typename... Values>
std::string formatted(const char* pattern, Values... values) {
  const int length = std::snprintf(nullptr, 0, pattern, values...);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  std::snprintf(text.data(), text.size() + 1, pattern, values...);
  return text;
}

}  // namespace platform
