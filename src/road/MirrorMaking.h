#pragma once
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Fault.h"
#include "catalogue/ListSignature.h"
#include "catalogue/TrustedComment.h"

namespace road {

// How making an offline mirror ended.
struct MirrorMade {
  enum class Problem {
    none,
    listRefused,   // the list or its signature: `fault` says why
    entryRefused,  // an entry's description or image: `fault` says why, `row` which entry
    urlUnfit,      // an entry's URL has no place of its own in the mirror: `row` which entry, `path` the URL
    notAMirror,    // `path` exists and holds something else than a mirror: it is left alone
    notWritten,    // `path` could not be written
  };
  Problem problem = Problem::none;
  catalogue::Fault fault = catalogue::Fault::none;
  catalogue::TrustedComment comment;  // listRefused: what the signature said of the list
  std::size_t row = 0;
  std::string path;
  std::size_t entries = 0;  // the entries mirrored
  std::size_t files = 0;    // the files written: the list, its signature, descriptions, images
};

// Reads the list at `listAddress` (signed by one of `trustedKeys` when there
// are any) and every description and image its entries name, each with
// every check the update road makes, and writes them as platform's mirror
// layout has them into `folder`: a new or empty folder, or a mirror made
// before, which is replaced whole. Nothing is left half written: the mirror is made
// in a folder beside it that takes its place at the end. An entry the road
// would refuse from the list alone is left out, as it is refused offline too.
MirrorMade makeMirror(const std::string& listAddress, const std::vector<catalogue::PublicKey>& trustedKeys,
                      const std::string& folder);

// The list address (an http or https URL) a mirror was made from; no value
// when `folder` is none.
std::optional<std::string> mirroredListAddress(const std::string& folder);

}  // namespace road
