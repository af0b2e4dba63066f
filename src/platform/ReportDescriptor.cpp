#include "ReportDescriptor.h"

#include <map>
#include <vector>

namespace platform {
namespace {

struct Globals {
  std::uint64_t reportSize = 0;
  std::uint64_t reportCount = 0;
  std::uint32_t reportId = 0;
};

constexpr std::uint8_t kLongItem = 0xFE;
constexpr std::uint8_t kInput = 0x80;
constexpr std::uint8_t kReportSize = 0x74;
constexpr std::uint8_t kReportId = 0x84;
constexpr std::uint8_t kReportCount = 0x94;
constexpr std::uint8_t kPush = 0xA4;
constexpr std::uint8_t kPop = 0xB4;
constexpr std::size_t kMaxPushDepth = 64;
constexpr std::uint64_t kMaxReportSizeBits = 256;

std::uint32_t littleEndian(const std::uint8_t* p, std::size_t n) {
  std::uint32_t v = 0;
  for (std::size_t k = 0; k < n; ++k) v |= std::uint32_t{p[k]} << (8 * k);
  return v;
}

}  // namespace

std::optional<std::int64_t> maxInputReportSize(const std::uint8_t* d, std::size_t n) {
  static constexpr std::size_t kDataBytes[4] = {0, 1, 2, 4};
  Globals g;
  std::vector<Globals> stack;
  std::map<std::uint32_t, std::uint64_t> bitsPerId;
  std::size_t i = 0;
  while (i < n) {
    const std::uint8_t prefix = d[i];
    if (prefix == kLongItem) {
      if (i + 2 >= n) return std::nullopt;
      const std::size_t next = i + 3 + d[i + 1];
      if (next > n) return std::nullopt;
      i = next;
      continue;
    }
    const std::size_t size = kDataBytes[prefix & 3];
    if (i + 1 + size > n) return std::nullopt;
    const std::uint32_t value = littleEndian(d + i + 1, size);
    i += 1 + size;
    switch (prefix & 0xFC) {
      case kReportSize:
        if (value > kMaxReportSizeBits) return std::nullopt;
        g.reportSize = value;
        break;
      case kReportCount: g.reportCount = value; break;
      case kReportId:
        if (value == 0 || value > 255) return std::nullopt;
        g.reportId = value;
        break;
      case kPush:
        if (stack.size() >= kMaxPushDepth) return std::nullopt;
        stack.push_back(g);
        break;
      case kPop:
        if (stack.empty()) return std::nullopt;
        g = stack.back();
        stack.pop_back();
        break;
      case kInput: bitsPerId[g.reportId] += g.reportSize * g.reportCount; break;
      default: break;
    }
  }
  std::int64_t largest = 0;
  for (const auto& [id, bits] : bitsPerId) {
    const auto bytes = static_cast<std::int64_t>((bits + 7) / 8) + (id != 0 ? 1 : 0);
    if (bytes > largest) largest = bytes;
  }
  // No hidraw report is larger; a descriptor that says otherwise gives no size.
  if (largest > kMaxHidrawReportBytes) return std::nullopt;
  return largest;
}

}  // namespace platform
