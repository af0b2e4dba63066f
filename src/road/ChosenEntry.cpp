#include "ChosenEntry.h"

#include "catalogue/CatalogueTexts.h"
#include "catalogue/FirmwareList.h"
#include "catalogue/ListReading.h"
#include "platform/TextDecoding.h"

namespace road {
namespace {
constexpr std::size_t kMaxDescriptionBytes = 1u << 20;
}

const char* entryFault(const std::vector<std::string>& fields, update::FirmwareEntry& entry,
                       catalogue::ImageCheck& check, bool signedList) {
  if (fields.size() < catalogue::kFieldsToSelect) return texts::entryIncomplete;
  if (!platform::isHttpURL(fields[catalogue::fDescription])) return texts::entryBadDescriptionUrl;
  if (!catalogue::readHexField(fields[catalogue::fVendor], entry.vendorId) ||
      !catalogue::readHexField(fields[catalogue::fProduct], entry.productId))
    return texts::entryBadIds;
  if (!catalogue::readVersionField(fields[catalogue::fVersion], entry.version)) return texts::entryBadVersion;
  switch (catalogue::readImageCheck(fields, check, signedList)) {
    case catalogue::ImageCheckReading::badHash: return texts::entryBadHash;
    case catalogue::ImageCheckReading::badSize: return texts::entryBadSize;
    case catalogue::ImageCheckReading::missingHash: return texts::entryHashMissing;
    case catalogue::ImageCheckReading::ok: return nullptr;
  }
  return texts::entryIncomplete;
}

ChosenEntry chooseEntry(std::string_view line, const platform::UrlReadOptions& options, bool signedList) {
  ChosenEntry chosen;
  const auto fields = catalogue::splitFields(line);
  catalogue::ImageCheck check;
  if ((chosen.failure = entryFault(fields, chosen.entry, check, signedList))) return chosen;
  platform::Data bytes;
  chosen.failure = catalogue::readFromServer(fields[catalogue::fDescription], options, kMaxDescriptionBytes,
                                             texts::descriptionTooLarge, texts::descriptionFailed, bytes);
  if (chosen.failure) return chosen;
  auto description = platform::stringFromGB18030(bytes);
  if (!description) chosen.failure = texts::descriptionNotText;
  else chosen.description = std::move(*description);
  return chosen;
}

}  // namespace road
