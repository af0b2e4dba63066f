#include "ReplyReading.h"

#include <cstdio>

namespace cli {

std::string versionText(const update::reports::Version& v) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u", v[0], v[1], v[2]);
  return text;
}

std::string adapterVersionOf(const platform::Data& reply) {
  const auto version = update::reports::versionIn(reply);
  return version ? versionText(*version) : "";
}

std::string lensIdOf(const platform::Data& reply) {
  const auto lens = update::reports::lensIdIn(reply);
  if (!lens) return "";
  char text[16];
  std::snprintf(text, sizeof text, "0X%X", static_cast<unsigned>(*lens));
  return text;
}

}  // namespace cli
