#pragma once
#include <cstdint>

// The values of the exchange's protocol state.
struct stateConstants {
  static constexpr std::int64_t stEmpty = 0;                        // idle: replies are only kept
  static constexpr std::int64_t stCheck = 1;                        // a lens query is outstanding
  static constexpr std::int64_t stStartWriteData = 2;               // the query before an update is outstanding
  static constexpr std::int64_t stGetResponseOfStartWriteData = 3;  // each reply releases the next piece
};
