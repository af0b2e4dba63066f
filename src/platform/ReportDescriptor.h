#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

namespace platform {
inline constexpr std::int64_t kMaxHidrawReportBytes = 16384;  // HID_MAX_BUFFER_SIZE in the kernel

// The largest input report a HID report descriptor declares, in bytes: the
// report's bits rounded up, plus one byte for its id when it has one. No value
// when the descriptor is malformed or declares more than hidraw can carry.
std::optional<std::int64_t> maxInputReportSize(const std::uint8_t* descriptor, std::size_t length);
}
