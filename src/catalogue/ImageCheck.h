#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Data.h"

namespace catalogue {

// What a list entry says of its image as the server serves it (before the zero
// fill), when it says anything: fields 7 and 8, its SHA-256 and its size. Lists
// without them work as before; older builds ignore them.
struct ImageCheck {
  std::optional<std::string> sha256;  // 64 lower-case hexadecimal digits
  std::optional<std::uint64_t> size;

  bool checksAnything() const { return sha256 || size; }
  // Whether the downloaded bytes are those the entry describes.
  bool matches(const platform::Data& image) const;
};

// Field 7: absent or empty says nothing; otherwise exactly 64 hexadecimal digits
// of either case. False for anything else, leaving `hash` as it was.
bool readHashField(const std::string& field, std::optional<std::string>& hash);
// Field 8: absent or empty says nothing; otherwise a plain decimal number of
// bytes (digits only) that fits 64 bits. False for anything else.
bool readSizeField(const std::string& field, std::optional<std::uint64_t>& size);

// Both fields of a split list line. A signed list covers the images only
// through their hashes, so there the hash is required.
enum class ImageCheckReading { ok, badHash, badSize, missingHash };
ImageCheckReading readImageCheck(const std::vector<std::string>& fields, ImageCheck& check, bool hashRequired = false);

std::string sha256Hex(const platform::Data& bytes);

}  // namespace catalogue
