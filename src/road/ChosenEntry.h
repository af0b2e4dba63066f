#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/Fault.h"
#include "catalogue/ImageCheck.h"
#include "platform/UrlReader.h"
#include "update/FirmwareEntry.h"

namespace road {

// Why a split list line cannot be chosen, or Fault::none when it can; then
// `entry` and `check` hold what it says. A malformed entry is refused whole,
// so that the ids, the version and the image always belong to one entry. In
// a signed list every entry must carry its image's hash.
catalogue::Fault entryFault(const std::vector<std::string>& fields, update::FirmwareEntry& entry,
                            catalogue::ImageCheck& check, bool signedList);

// A list line chosen: checked, and its description read and decoded.
struct ChosenEntry {
  catalogue::Fault failure = catalogue::Fault::none;  // shown instead of the description
  update::FirmwareEntry entry;
  std::string description;  // UTF-8
  platform::Data served;    // the description as the server gave it
};
ChosenEntry chooseEntry(std::string_view line, const platform::UrlReadOptions& options, bool signedList);

}  // namespace road
