#include "CatalogueTexts.h"
#include "Fault.h"

namespace catalogue {

const char* textOf(Fault fault) {
  switch (fault) {
    case Fault::none: return nullptr;
    case Fault::listNotRead: return texts::listFailed;
    case Fault::listTooLarge: return texts::listTooLarge;
    case Fault::listNotText: return texts::listNotText;
    case Fault::listUnsigned: return texts::listSignatureMissing;
    case Fault::listSignatureMalformed: return texts::listSignatureMalformed;
    case Fault::listUnknownKey: return texts::listSignatureUnknownKey;
    case Fault::listAltered: return texts::listSignatureListAltered;
    case Fault::listCommentAltered: return texts::listSignatureCommentAltered;
    case Fault::listExpired: return texts::listExpired;
    case Fault::listOtherFile: return texts::listOtherFile;
    case Fault::entryIncomplete: return texts::entryIncomplete;
    case Fault::entryBadIds: return texts::entryBadIds;
    case Fault::entryBadDescriptionUrl: return texts::entryBadDescriptionUrl;
    case Fault::entryBadVersion: return texts::entryBadVersion;
    case Fault::entryBadHash: return texts::entryBadHash;
    case Fault::entryBadSize: return texts::entryBadSize;
    case Fault::entryHashMissing: return texts::entryHashMissing;
    case Fault::descriptionNotRead: return texts::descriptionFailed;
    case Fault::descriptionTooLarge: return texts::descriptionTooLarge;
    case Fault::descriptionNotText: return texts::descriptionNotText;
    case Fault::imageBadUrl: return texts::imageBadUrl;
    case Fault::imageNotRead: return texts::downloadFailed;
    case Fault::imageTooLarge: return texts::imageTooLarge;
    case Fault::imageCheckFailed: return texts::imageCheckFailed;
    case Fault::imageEmpty: return texts::imageEmpty;
    case Fault::imageNotFirmware: return texts::imageIsNotFirmware;
  }
  return nullptr;
}

}  // namespace catalogue
