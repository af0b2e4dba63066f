#pragma once
#include <cstdint>

// The values of the controller's protocol state.
struct stateConstants {
  static constexpr std::int64_t stEmpty = 0;
  static constexpr std::int64_t stCheck = 1;
  static constexpr std::int64_t stStartWriteData = 2;
  static constexpr std::int64_t stGetResponseOfStartWriteData = 3;
};
