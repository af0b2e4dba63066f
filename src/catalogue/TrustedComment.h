#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace catalogue {

// What a list's signature says of the list in its trusted comment, which the
// signature covers: tab-separated `key:value` items, as the minisign tool
// writes them (`timestamp:`, `file:`, `hashed`) and as a publisher adds them
// (`expires:`). Items of other keys are left alone.
struct TrustedComment {
  std::optional<std::int64_t> signedAt;   // timestamp: unix seconds
  std::optional<std::int64_t> expiresAt;  // expires: unix seconds; the list is refused from then on
  std::optional<std::string> file;        // the name of the file that was signed
  bool wellFormed = true;                 // false: a time that is not whole seconds, or an item twice
};
TrustedComment readTrustedComment(std::string_view comment);

}  // namespace catalogue
