#include "ChosenEntry.h"

#include "catalogue/FirmwareList.h"
#include "catalogue/ListReading.h"
#include "platform/TextDecoding.h"

namespace road {
namespace {
constexpr std::size_t kMaxDescriptionBytes = 1u << 20;
}

catalogue::Fault entryFault(const std::vector<std::string>& fields, update::FirmwareEntry& entry,
                            catalogue::ImageCheck& check, bool signedList) {
  using catalogue::Fault;
  if (fields.size() < catalogue::kFieldsToSelect) return Fault::entryIncomplete;
  if (!platform::isHttpURL(fields[catalogue::fDescription])) return Fault::entryBadDescriptionUrl;
  if (!catalogue::readHexField(fields[catalogue::fVendor], entry.vendorId) ||
      !catalogue::readHexField(fields[catalogue::fProduct], entry.productId))
    return Fault::entryBadIds;
  if (!catalogue::readVersionField(fields[catalogue::fVersion], entry.version)) return Fault::entryBadVersion;
  switch (catalogue::readImageCheck(fields, check, signedList)) {
    case catalogue::ImageCheckReading::badHash: return Fault::entryBadHash;
    case catalogue::ImageCheckReading::badSize: return Fault::entryBadSize;
    case catalogue::ImageCheckReading::missingHash: return Fault::entryHashMissing;
    case catalogue::ImageCheckReading::ok: return Fault::none;
  }
  return Fault::entryIncomplete;
}

ChosenEntry chooseEntry(std::string_view line, const platform::UrlReadOptions& options, bool signedList) {
  ChosenEntry chosen;
  const auto fields = catalogue::splitFields(line);
  catalogue::ImageCheck check;
  using catalogue::Fault;
  chosen.failure = entryFault(fields, chosen.entry, check, signedList);
  if (chosen.failure != Fault::none) return chosen;
  platform::Data bytes;
  chosen.failure = catalogue::readFromServer(fields[catalogue::fDescription], options, kMaxDescriptionBytes,
                                             Fault::descriptionTooLarge, Fault::descriptionNotRead, bytes);
  if (chosen.failure != Fault::none) return chosen;
  auto description = platform::stringFromGB18030(bytes);
  if (!description) chosen.failure = Fault::descriptionNotText;
  else chosen.description = std::move(*description);
  chosen.served = std::move(bytes);
  return chosen;
}

}  // namespace road
