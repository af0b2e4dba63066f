#pragma once
#include <string>
#include <string_view>

namespace catalogue {
// Where a firmware server keeps its list; servers in the field rely on it.
inline constexpr const char* kListPath = "/product/MIRAVEL_LST.txt";
// The list's address on a server given by scheme, host and port.
inline std::string listAddress(std::string_view server) { return std::string(server) + kListPath; }
}  // namespace catalogue
