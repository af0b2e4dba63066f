#include "VisibleText.h"

#include <cstdio>

namespace platform {
namespace {

bool isControl(char32_t c) { return c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f); }

std::string escaped(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "\\x%02x", value);
  return text;
}

// The length of the UTF-8 sequence at `at` and its code point, or 0 when the
// bytes there are not one (a lone continuation byte, a sequence cut short,
// an overlong form, a surrogate).
std::size_t sequenceAt(std::string_view s, std::size_t at, char32_t& c) {
  const auto b = static_cast<unsigned char>(s[at]);
  std::size_t n = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
  if (n == 0 || at + n > s.size()) return 0;
  c = n == 1 ? b : b & (0x7F >> n);
  for (std::size_t i = 1; i < n; ++i) {
    const auto next = static_cast<unsigned char>(s[at + i]);
    if ((next & 0xC0) != 0x80) return 0;
    c = (c << 6) | (next & 0x3F);
  }
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kLeast[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  return n;
}

std::string visible(std::string_view text, bool lines) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    char32_t c = 0;
    const std::size_t n = sequenceAt(text, at, c);
    if (n == 0) {
      out += escaped(static_cast<unsigned char>(text[at++]));
      continue;
    }
    if (lines && c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') {
      ++at;
      continue;
    }
    const bool kept = lines && (c == '\n' || c == '\t');
    if (isControl(c) && !kept) out += escaped(static_cast<unsigned>(c));
    else out.append(text.substr(at, n));
    at += n;
  }
  return out;
}

}  // namespace

std::string visibleField(std::string_view text) { return visible(text, false); }
std::string visibleLines(std::string_view text) { return visible(text, true); }

}  // namespace platform
