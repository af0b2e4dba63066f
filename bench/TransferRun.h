#pragma once
// A whole transfer in real time through the real window, exchange and device
// link, over whichever adapter the caller has attached (vendor f1a5, product
// 0001, answering at once): from the start report to the completion text,
// against the floor the protocol's pauses set.
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <vector>

#include "sim/SimulatedAdapter.h"

using Clock = std::chrono::steady_clock;

// When the adapter took each start and data report; called on any thread.
class ReportTimes {
 public:
  void took(const platform::sim::ReceivedReport& report);
  std::vector<Clock::time_point> times() const;

 private:
  mutable std::mutex mutex_;
  std::vector<Clock::time_point> times_;
};

// `pieces` is rounded up to a multiple of 16, as the zero fill rounds the image.
// Prints: transfer <pieces> pieces: <seconds> s, floor <seconds> s, ratio <r>,
// the time over the floor per piece, then the median and the longest gap
// between two data reports in ms (the protocol's pause between them is
// 100 ms, 300 ms after every 17th).
// `pressing` runs just before the update button is pressed.
// Returns the exit status.
int runTransfer(std::size_t pieces, const ReportTimes& times, const std::function<void()>& pressing = {});
