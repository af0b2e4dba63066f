#include "TextDecoding.h"

#include <iconv.h>

#include <cerrno>

namespace platform {
namespace {

std::optional<std::string> convert(const char* from, const Data& bytes) {
  iconv_t cd = iconv_open("UTF-8", from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  std::string out;
  char* in = const_cast<char*>(reinterpret_cast<const char*>(bytes.data()));
  std::size_t inLeft = bytes.size();
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

std::optional<std::string> stringFromUTF8(const Data& bytes) { return convert("UTF-8", bytes); }
std::optional<std::string> stringFromGB18030(const Data& bytes) { return convert("GB18030", bytes); }

}  // namespace platform
