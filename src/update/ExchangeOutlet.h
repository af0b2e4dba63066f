#pragma once
#include <chrono>
#include <cstdint>

#include "ExchangeEvents.h"

namespace update {

// What the exchange asks of its surroundings besides telling what happened:
// its pauses, its deadlines and the monitors. Reports go to the adapter
// directly.
class ExchangeOutlet : public ExchangeEvents {
 public:
  // Calls AdapterExchange::pauseOver(token) once `seconds` have passed.
  virtual void pause(double seconds, std::uint64_t token) = 0;
  // The same, counted from `since`: a pause that an adapter's reply starts
  // begins when the reply was read, not when the exchange came to it.
  virtual void pauseFrom(double seconds, std::uint64_t token, std::chrono::steady_clock::time_point since) {
    (void)since;
    pause(seconds, token);
  }
  // Calls AdapterExchange::deadlineOver(token) once `seconds` have passed,
  // unless another deadline is asked for first: one deadline runs at a time.
  virtual void deadline(double seconds, std::uint64_t token) = 0;
  // Starts watching for adapters with these ids, for good.
  virtual void arm(std::int64_t vendorId, std::int64_t productId) = 0;
};

}  // namespace update
