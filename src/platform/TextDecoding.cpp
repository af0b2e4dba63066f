#include "TextDecoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform {
namespace {

std::optional<std::string> convert(const char* from, const char* to, const char* bytes, std::size_t size) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char* in = const_cast<char*>(bytes);
  std::size_t inLeft = size;
  char buffer[4096];
  bool ok = true;
  while (inLeft > 0) {
    char* o = buffer;
    std::size_t oLeft = sizeof buffer;
    const std::size_t r = iconv(cd, &in, &inLeft, &o, &oLeft);
    out.append(buffer, o - buffer);
    if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
      ok = false;  // EILSEQ or a truncated sequence at the end (EINVAL)
      break;
    }
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  return out;
}

}  // namespace

// glibc's iconv lets 5-byte forms and values above U+10FFFF through, so the
// check is our own.
bool isUTF8(const Data& bytes) {
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    // Runs of plain ASCII, eight bytes at a time.
    while (i + 8 <= n) {
      std::uint64_t word;
      std::memcpy(&word, bytes.data() + i, sizeof word);
      if (word & 0x8080808080808080ULL) break;
      i += 8;
    }
    if (i >= n) break;
    const std::uint8_t b = bytes[i];
    std::size_t length;
    std::uint8_t low = 0x80, high = 0xBF;  // the range of the second byte
    if (b < 0x80) length = 1;
    else if (b >= 0xC2 && b <= 0xDF) length = 2;
    else if (b >= 0xE0 && b <= 0xEF) length = 3, low = b == 0xE0 ? 0xA0 : 0x80, high = b == 0xED ? 0x9F : 0xBF;
    else if (b >= 0xF0 && b <= 0xF4) length = 4, low = b == 0xF0 ? 0x90 : 0x80, high = b == 0xF4 ? 0x8F : 0xBF;
    else return false;
    if (i + length > n) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const std::uint8_t c = bytes[i + k];
      if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return false;
    }
    i += length;
  }
  return true;
}

std::optional<std::string> stringFromGB18030(const Data& bytes) {
  return convert("GB18030", "UTF-8", reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// Under C or POSIX (ASCII) no encoding was chosen, and the texts stay as
// written, in UTF-8, as a terminal shows them today: ASCII would turn every
// Chinese text into question marks.
std::string inLocaleEncoding(const std::string& utf8) {
  const char* codeset = nl_langinfo(CODESET);
  if (!codeset || !*codeset) return utf8;
  for (const char* kept : {"UTF-8", "ANSI_X3.4-1968", "ASCII", "US-ASCII"})
    if (std::strcmp(codeset, kept) == 0) return utf8;
  const std::string target = std::string(codeset) + "//TRANSLIT";
  return convert("UTF-8", target.c_str(), utf8.data(), utf8.size()).value_or(utf8);
}

}  // namespace platform
