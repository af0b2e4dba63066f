#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// For firmware publishers: a list's image fields filled in from the server's
// document root and the list signed, in place, as the field expects it.
namespace publish {

struct PublishRequest {
  std::string list;       // the list, rewritten in place; LIST.minisig is written beside it
  std::string root;       // the server's document root
  std::string secretKey;  // a minisign secret key file
  std::optional<int> expiresInDays;
  std::int64_t now = 0;  // unix seconds: the signing time
  // Asked only for a key made with a password; no value when none can be had.
  std::function<std::optional<std::string>()> password;
};

enum class PublishFault {
  none,
  listNotRead,
  listNotText,   // not UTF-8: the tools would refuse it
  listTooLarge,  // more than the tools read
  keyNotRead,
  notAKey,
  passwordNeeded,
  wrongPassword,
  hashMissing,  // a complete line whose image is not under the root and that has no hash
  notWritten,
};

// A complete line whose image URL names no file under the root.
struct UnfoundImage {
  int line = 0;  // from 1
  std::string url;
  bool hasHash = false;  // its field 8 was filled in before: it stays as written
};

struct Published {
  PublishFault fault = PublishFault::none;
  std::string path;  // the file the fault is about
  int line = 0;      // hashMissing: the first such line
  int filled = 0;
  std::vector<UnfoundImage> unfound;
  std::string signedName;  // what the signature's comment says was signed
  std::optional<std::int64_t> expiresAt;
};

// Everything is read and checked, and both files written out beside their
// places, before either is replaced whole.
Published publishList(const PublishRequest& request);

}  // namespace publish
