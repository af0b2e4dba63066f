#pragma once
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "Fault.h"
#include "ListLines.h"
#include "ListSignature.h"
#include "TrustedComment.h"
#include "platform/Data.h"
#include "platform/UrlReader.h"

namespace catalogue {

// The most a firmware list may hold: a longer one is refused, not shown.
inline constexpr std::size_t kMaxListBytes = 4u << 20;

// Reads a URL of the firmware server, at most `limit` bytes. Returns why the
// read did not give the whole resource, as `tooLarge` or `failed`, or
// Fault::none; the declared media type goes to `contentType` when asked for.
Fault readFromServer(const std::string& url, platform::UrlReadOptions options, std::size_t limit, Fault tooLarge,
                     Fault failed, platform::Data& bytes, std::string* contentType = nullptr);

struct ListReading {
  std::optional<ListLines> lines;  // absent when the list is refused
  Fault failure = Fault::none;     // then why
  bool signedList = false;         // verified under a trusted key: every entry needs its hash
  TrustedComment comment;          // what a verified signature says of the list, refused or not
  platform::Data signature;        // the .minisig as it was served, when one was read
  platform::Data served;           // the list as it was served, when asked for and read
};

// The firmware list at `url`: bounded, UTF-8, and, when any key is trusted,
// signed by one of them in `<url>.minisig`, read right after the list under
// the same options and within the same deadline. Without trusted keys no
// signature is read. A signature that verifies still refuses the list from
// the moment its comment says it expires, and when it names another file.
// With `keepServed`, the bytes of a list read are kept too.
ListReading readFirmwareList(const std::string& url, const platform::UrlReadOptions& options,
                             const std::vector<PublicKey>& trustedKeys, bool keepServed = false);

}  // namespace catalogue
