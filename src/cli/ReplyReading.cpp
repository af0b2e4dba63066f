#include "ReplyReading.h"

#include <cstdio>

namespace cli {

std::string versionText(const update::reports::Version& v) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u", v[0], v[1], v[2]);
  return text;
}

std::string lensIdText(std::uint16_t lensId) {
  char text[16];
  std::snprintf(text, sizeof text, "0X%X", static_cast<unsigned>(lensId));
  return text;
}

}  // namespace cli
