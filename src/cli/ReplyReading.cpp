#include "ReplyReading.h"

#include <cstdio>

#include "update/AdapterReports.h"

namespace cli {

std::string adapterVersionOf(const platform::Data& reply) {
  const auto at = update::reports::kReplyVersionAt;
  if (reply.size() < update::reports::kVersionReplyBytes) return "";
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u", reply[at], reply[at + 1], reply[at + 2]);
  return text;
}

std::string lensIdOf(const platform::Data& reply) {
  const auto at = update::reports::kReplyLensIdAt;
  if (reply.size() < update::reports::kLensReplyBytes) return "";
  char text[16];
  std::snprintf(text, sizeof text, "0X%X", static_cast<unsigned>(reply[at] * 256 + reply[at + 1]));
  return text;
}

}  // namespace cli
