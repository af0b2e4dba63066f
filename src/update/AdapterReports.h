#pragma once
// The adapter's wire format. Adapters in the field read these bytes; nothing
// here may change. Byte positions count from 0 at the first byte of a report.
#include <array>
#include <cstddef>
#include <cstdint>

namespace update::reports {

inline constexpr std::array<std::uint8_t, 4> kCommandPrefix{0x95, 0x27, 0x68, 0x18};

// Asks the adapter for its firmware version and the id of the mounted lens.
inline constexpr std::array<std::uint8_t, 6> kQuery{0x95, 0x27, 0x68, 0x18, 0x02, 0x02};

// Announces an image; bytes 6 to 8 are replaced by the version being written
// before every send, so the template's own three bytes are never sent.
inline constexpr std::array<std::uint8_t, 9> kStartTemplate{0x95, 0x27, 0x68, 0x18, 0x01, 0x01, 0x02, 0x00, 0x02};
inline constexpr std::size_t kStartVersionAt = 6;

// A reply: the adapter's own version in bytes 6 to 8 (read before an update),
// the lens id big-endian in bytes 16 and 17 (read after a lens query).
inline constexpr std::size_t kReplyVersionAt = 6;
inline constexpr std::size_t kVersionReplyBytes = 9;
inline constexpr std::size_t kReplyLensIdAt = 16;
inline constexpr std::size_t kLensReplyBytes = 18;

// Each data report is the next 64 bytes of the image and nothing else: the
// adapter learns the position only from the order of the reports.
inline constexpr std::size_t kPieceBytes = 64;

enum class Kind { query, start, data };

// What an adapter takes a whole report for: a command is its bytes followed
// by zero filler. A data piece that happens to look exactly like that is taken
// for the command; the sample images never hold one.
inline Kind classify(const std::uint8_t* report, std::size_t length) {
  auto command = [&](std::uint8_t a, std::uint8_t b, std::size_t commandLength) {
    if (length < commandLength) return false;
    for (std::size_t i = 0; i < kCommandPrefix.size(); ++i)
      if (report[i] != kCommandPrefix[i]) return false;
    if (report[4] != a || report[5] != b) return false;
    for (std::size_t i = commandLength; i < length; ++i)
      if (report[i] != 0) return false;
    return true;
  };
  if (command(kQuery[4], kQuery[5], kQuery.size())) return Kind::query;
  if (command(kStartTemplate[4], kStartTemplate[5], kStartTemplate.size())) return Kind::start;
  return Kind::data;
}

}  // namespace update::reports
