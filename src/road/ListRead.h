#pragma once
#include <optional>
#include <string>
#include <vector>

#include "catalogue/Fault.h"
#include "catalogue/ListLines.h"
#include "catalogue/ListSignature.h"
#include "catalogue/TrustedComment.h"
#include "platform/UrlReader.h"

namespace road {

struct ListRead {
  std::optional<catalogue::ListLines> lines;          // absent when the list was not read
  catalogue::Fault failure = catalogue::Fault::none;  // why not; none for an address that is not a URL
  bool signedList = false;                            // verified under a trusted key: every entry needs its hash
  catalogue::TrustedComment comment;                  // what its signature says of it
  platform::Data signature;                           // its .minisig as served, when one was read
};

// What the window and the command line say when the list was refused, with
// the day it expired or the file its signature is for.
std::string failureTextOf(const ListRead& read);
// A moment as the tool shows it: "2026-12-01" (UTC).
std::string dayOf(std::int64_t unixSeconds);

// Reads the firmware list as the window does on loading: bounded, UTF-8, and
// signed by one of `trustedKeys` when there are any.
ListRead readList(const std::string& address, const platform::UrlReadOptions& options,
                  const std::vector<catalogue::PublicKey>& trustedKeys);

}  // namespace road
