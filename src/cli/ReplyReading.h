#pragma once
#include <cstdint>
#include <string>

#include "update/AdapterReports.h"

namespace cli {
// What a reply to the query says, as the window shows it.
std::string versionText(const update::reports::Version& version);  // "1.0.12"
std::string lensIdText(std::uint16_t lensId);                      // "0X102"
}  // namespace cli
