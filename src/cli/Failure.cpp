#include "Failure.h"

#include <cstring>
#include <initializer_list>

#include "catalogue/CatalogueTexts.h"

namespace cli {
namespace {

struct Known {
  const char* text;
  Failure failure;
};

bool same(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

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
  };
  for (const auto& k : known)
    if (same(text, k.text)) return k.failure;
  return {"not-read", kNotRead};
}

Failure failureOf(update::Outcome outcome) {
  using update::Outcome;
  switch (outcome) {
    case Outcome::done:
    case Outcome::lensShown: return {"done", kDone};
    case Outcome::noAdapter: return {"no-adapter", kNoAdapter};
    case Outcome::severalAdapters: return {"several-adapters", kNoAdapter};
    case Outcome::mismatch: return {"mismatch", kNoAdapter};
    case Outcome::denied: return {"access-denied", kAccessDenied};
    case Outcome::versionOutOfRange: return {"version-out-of-range", kImageRefused};
    case Outcome::writeFailed: return {"write-failed", kAdapterFailed};
    case Outcome::silent: return {"went-quiet", kAdapterFailed};
    case Outcome::left: return {"adapter-left", kAdapterFailed};
  }
  return {"adapter-failed", kAdapterFailed};
}

}  // namespace cli
