#pragma once
#include <cstdint>
#include <string_view>

namespace platform {
// The string scanner's number readings. Both skip leading white space and line
// ends, and report whether any digits were taken; a value too large for the
// type saturates at its limit. Nothing is written to `value` on failure.
bool scanHexInt(std::string_view text, std::uint32_t& value);
bool scanInt(std::string_view text, std::int64_t& value);
}
