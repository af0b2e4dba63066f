#pragma once
// The adapter's wire format. Adapters in the field read these bytes; nothing
// here may change. Byte positions count from 0 at the first byte of a report.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

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

// A firmware version as the start report and the reply carry it.
using Version = std::array<std::uint8_t, 3>;

// The start report that announces an image of `version`.
inline std::array<std::uint8_t, 9> startReport(const Version& version) {
  std::array<std::uint8_t, 9> report = kStartTemplate;
  for (std::size_t i = 0; i < version.size(); ++i) report[kStartVersionAt + i] = version[i];
  return report;
}

// What a reply says; absent when it is too short to say it.
inline std::optional<Version> versionIn(const std::uint8_t* reply, std::size_t length) {
  if (length < kVersionReplyBytes) return std::nullopt;
  return Version{reply[kReplyVersionAt], reply[kReplyVersionAt + 1], reply[kReplyVersionAt + 2]};
}
inline std::optional<std::uint16_t> lensIdIn(const std::uint8_t* reply, std::size_t length) {
  if (length < kLensReplyBytes) return std::nullopt;
  return static_cast<std::uint16_t>(reply[kReplyLensIdAt] << 8 | reply[kReplyLensIdAt + 1]);
}
// The version a start report announces.
inline std::optional<Version> announcedIn(const std::uint8_t* report, std::size_t length) {
  if (length < kStartTemplate.size()) return std::nullopt;
  return Version{report[kStartVersionAt], report[kStartVersionAt + 1], report[kStartVersionAt + 2]};
}
template <typename Bytes>
std::optional<Version> versionIn(const Bytes& reply) {
  return versionIn(reply.data(), reply.size());
}
template <typename Bytes>
std::optional<std::uint16_t> lensIdIn(const Bytes& reply) {
  return lensIdIn(reply.data(), reply.size());
}

// An adapter's reply of `length` bytes, as adapters in the field build it.
template <typename Bytes = std::vector<std::uint8_t>>
Bytes reply(const Version& version, std::uint16_t lensId, std::size_t length) {
  Bytes bytes(std::max(length, kLensReplyBytes), 0);
  for (std::size_t i = 0; i < kCommandPrefix.size(); ++i) bytes[i] = kCommandPrefix[i];
  for (std::size_t i = 0; i < version.size(); ++i) bytes[kReplyVersionAt + i] = version[i];
  bytes[kReplyLensIdAt] = static_cast<std::uint8_t>(lensId >> 8);
  bytes[kReplyLensIdAt + 1] = static_cast<std::uint8_t>(lensId & 0xFF);
  bytes.resize(length);
  return bytes;
}

}  // namespace update::reports
