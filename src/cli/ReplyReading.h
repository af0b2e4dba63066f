#pragma once
#include <string>

#include "platform/Data.h"
#include "update/AdapterReports.h"

namespace cli {
// What a reply to the query says, as the window shows it; "" for a reply
// too short to say it.
std::string adapterVersionOf(const platform::Data& reply);  // "1.0.12"
std::string lensIdOf(const platform::Data& reply);          // "0X102"
std::string versionText(const update::reports::Version& version);  // "1.0.12"
}  // namespace cli
