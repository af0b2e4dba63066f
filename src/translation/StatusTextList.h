#pragma once
#include <span>

namespace translation {
// Every status text of the headers that hold them, as written there, without
// the "\r\n" that makes a text appended. Made at build time from those headers,
// so that a text added there is known here without being written twice.
std::span<const char* const> statusTexts();
}  // namespace translation
