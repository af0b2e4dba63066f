#include "Scanner.h"

#include <limits>

namespace platform {
namespace {

// Length of the white space or line end character at the start, 0 if none.
std::size_t whitespaceAt(std::string_view s) {
  if (s.empty()) return 0;
  const auto c = static_cast<unsigned char>(s[0]);
  if (c == ' ' || (c >= 0x09 && c <= 0x0d)) return 1;
  auto is = [&](std::string_view seq) { return s.substr(0, seq.size()) == seq; };
  if (is("\xc2\x85") || is("\xc2\xa0")) return 2;
  if (is("\xe1\x9a\x80") || is("\xe2\x80\xa8") || is("\xe2\x80\xa9") || is("\xe2\x80\xaf") || is("\xe2\x81\x9f") ||
      is("\xe3\x80\x80"))
    return 3;
  if (s.size() >= 3 && is("\xe2\x80") && static_cast<unsigned char>(s[2]) >= 0x80 &&
      static_cast<unsigned char>(s[2]) <= 0x8a)
    return 3;  // U+2000 to U+200A
  return 0;
}

std::string_view skipWhitespace(std::string_view s) {
  while (std::size_t n = whitespaceAt(s)) s.remove_prefix(n);
  return s;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool scanHexInt(std::string_view text, std::uint32_t& value) {
  std::string_view s = skipWhitespace(text);
  if (s.size() >= 3 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X') && hexDigit(s[2]) >= 0) s.remove_prefix(2);
  if (s.empty() || hexDigit(s[0]) < 0) return false;
  std::uint64_t v = 0;
  for (char c : s) {
    const int d = hexDigit(c);
    if (d < 0) break;
    v = v * 16 + d;
    if (v > std::numeric_limits<std::uint32_t>::max()) v = std::numeric_limits<std::uint32_t>::max() + 1ull;
  }
  value = v > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                        : static_cast<std::uint32_t>(v);
  return true;
}

bool scanInt(std::string_view text, std::int64_t& value) {
  std::string_view s = skipWhitespace(text);
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  if (s.empty() || s[0] < '0' || s[0] > '9') return false;
  const std::uint64_t limit = negative ? std::uint64_t{1} << 63 : (std::uint64_t{1} << 63) - 1;
  std::uint64_t v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') break;
    v = (v > (limit - (c - '0')) / 10) ? limit : v * 10 + (c - '0');
  }
  value = negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
  return true;
}

}  // namespace platform
