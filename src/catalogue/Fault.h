#pragma once

namespace catalogue {

// Why the road stops before anything reaches an adapter: the list, the entry
// chosen, its description or its image. The window and the command line turn
// it into what they say; nothing below them does.
enum class Fault {
  none,
  listNotRead,  // the server did not give the whole list
  listTooLarge,
  listNotText,
  listUnsigned,  // keys are trusted and the signature could not be read
  listSignatureMalformed,
  listUnknownKey,
  listAltered,  // the signature does not cover these bytes
  listCommentAltered,
  listExpired,    // its signature's comment says it is no longer valid
  listOtherFile,  // its signature is for a file of another name
  entryIncomplete,
  entryBadIds,
  entryBadDescriptionUrl,
  entryBadVersion,
  entryBadHash,
  entryBadSize,
  entryHashMissing,  // a signed list, and the entry names no hash
  descriptionNotRead,
  descriptionTooLarge,
  descriptionNotText,
  imageBadUrl,
  imageNotRead,
  imageTooLarge,
  imageCheckFailed,  // not the hash or the size the list gives
  imageEmpty,
  imageNotFirmware,  // an HTML page where the image should be
};
inline constexpr Fault kLastFault = Fault::imageNotFirmware;

// The status text the window shows for it (none for `none`).
const char* textOf(Fault fault);

}  // namespace catalogue
