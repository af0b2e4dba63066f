#include "Failure.h"

namespace cli {

Failure failureOf(catalogue::Fault fault) {
  using catalogue::Fault;
  switch (fault) {
    case Fault::none: return {"done", kDone};
    case Fault::listNotRead: return {"list-not-read", kNotRead};
    case Fault::listTooLarge: return {"list-too-large", kNotRead};
    case Fault::listNotText: return {"list-not-text", kNotRead};
    case Fault::listUnsigned: return {"list-unsigned", kNotRead};
    case Fault::listSignatureMalformed: return {"list-signature-malformed", kNotRead};
    case Fault::listUnknownKey: return {"list-unknown-key", kNotRead};
    case Fault::listAltered: return {"list-signature-bad", kNotRead};
    case Fault::listCommentAltered: return {"list-comment-altered", kNotRead};
    case Fault::listExpired: return {"list-expired", kNotRead};
    case Fault::listOtherFile: return {"list-other-file", kNotRead};
    case Fault::entryIncomplete: return {"entry-incomplete", kNotRead};
    case Fault::entryBadIds: return {"entry-bad-ids", kNotRead};
    case Fault::entryBadDescriptionUrl: return {"entry-bad-description-url", kNotRead};
    case Fault::entryBadVersion: return {"entry-bad-version", kNotRead};
    case Fault::entryBadHash: return {"entry-bad-hash", kNotRead};
    case Fault::entryBadSize: return {"entry-bad-size", kNotRead};
    case Fault::entryHashMissing: return {"entry-hash-missing", kNotRead};
    case Fault::descriptionNotRead: return {"description-not-read", kNotRead};
    case Fault::descriptionTooLarge: return {"description-too-large", kNotRead};
    case Fault::descriptionNotText: return {"description-not-text", kNotRead};
    case Fault::imageBadUrl: return {"image-bad-url", kNotRead};
    case Fault::imageNotRead: return {"image-not-read", kNotRead};
    case Fault::imageTooLarge: return {"image-too-large", kNotRead};
    case Fault::imageCheckFailed: return {"image-refused", kImageRefused};
    case Fault::imageEmpty: return {"image-empty", kImageRefused};
    case Fault::imageNotFirmware: return {"image-not-firmware", kImageRefused};
  }
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
    case Outcome::busy: return {"adapter-busy", kNoAdapter};
    case Outcome::interrupted: return {"interrupted", kAdapterFailed};
    case Outcome::upToDate: return {"up-to-date", kDone};
    case Outcome::olderThanAdapter: return {"older-than-adapter", kImageRefused};
  }
  return {"adapter-failed", kAdapterFailed};
}

Failure failureOf(update::Reseat reseat) {
  switch (reseat) {
    case update::Reseat::confirmed: return {"confirmed", kDone};
    case update::Reseat::otherVersion: return {"other-version", kOtherVersion};
    case update::Reseat::unanswered: return {"quiet-after-reseat", kAdapterFailed};
  }
  return {"adapter-failed", kAdapterFailed};
}

}  // namespace cli
