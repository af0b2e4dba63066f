#include "Failure.h"

#include <cstring>
#include <initializer_list>

#include "catalogue/CatalogueTexts.h"
#include "update/ExchangeTexts.h"

namespace cli {
namespace {

struct Known {
  const char* text;
  Failure failure;
};

bool same(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

// The access text carries the node: it is known by its start.
bool isAccessDenied(const char* text) {
  const char* pattern = texts::accessDenied;
  const std::size_t fixed = std::strchr(pattern, '%') - pattern;
  return std::strncmp(text, pattern, fixed) == 0;
}

}  // namespace

Failure failureOf(const char* text) {
  static const std::initializer_list<Known> known = {
      {texts::listFailed, {"list-not-read", kNotRead}},
      {texts::listNotText, {"list-not-read", kNotRead}},
      {texts::listTooLarge, {"list-not-read", kNotRead}},
      {texts::descriptionFailed, {"description-not-read", kNotRead}},
      {texts::descriptionTooLarge, {"description-not-read", kNotRead}},
      {texts::descriptionNotText, {"description-not-read", kNotRead}},
      {texts::entryIncomplete, {"entry-unusable", kNotRead}},
      {texts::entryBadIds, {"entry-unusable", kNotRead}},
      {texts::entryBadDescriptionUrl, {"entry-unusable", kNotRead}},
      {texts::entryBadVersion, {"entry-unusable", kNotRead}},
      {texts::entryBadHash, {"entry-unusable", kNotRead}},
      {texts::entryBadSize, {"entry-unusable", kNotRead}},
      {texts::downloadFailed, {"image-not-read", kNotRead}},
      {texts::imageTooLarge, {"image-not-read", kNotRead}},
      {texts::imageBadUrl, {"image-not-read", kNotRead}},
      {texts::imageCheckFailed, {"image-refused", kImageRefused}},
      {texts::imageEmpty, {"image-refused", kImageRefused}},
      {texts::imageIsNotFirmware, {"image-refused", kImageRefused}},
      {texts::versionOutOfRange, {"version-out-of-range", kImageRefused}},
      {texts::noDevice, {"no-adapter", kNoAdapter}},
      {texts::noDeviceForLens, {"no-adapter", kNoAdapter}},
      {texts::mismatch, {"mismatch", kNoAdapter}},
      {texts::disconnected, {"adapter-left", kAdapterFailed}},
      {texts::writeFailed, {"write-failed", kAdapterFailed}},
  };
  for (const auto& k : known)
    if (same(text, k.text)) return k.failure;
  if (isAccessDenied(text)) return {"access-denied", kAccessDenied};
  return {"adapter-failed", kAdapterFailed};
}

}  // namespace cli
