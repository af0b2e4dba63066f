#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "AdapterSettings.h"
#include "SimulatedAdapter.h"
#include "platform/Data.h"

namespace platform::sim {

// The adapter's end of one emulated /dev/hidraw node (see EmulatedHidrawBed).
// It takes each write() as one output report (the report number, then the
// report) and answers a query or a data report with one 64-byte input
// report, as the simulated adapter does (or nothing, after
// `silentAfterReports`).
class EmulatedHidrawNode {
 public:
  explicit EmulatedHidrawNode(AdapterSettings settings);
  EmulatedHidrawNode(const EmulatedHidrawNode&) = delete;
  EmulatedHidrawNode& operator=(const EmulatedHidrawNode&) = delete;

  const AdapterSettings& settings() const { return settings_; }
  // Every write() as it came, report number first.
  std::vector<Data> writes() const;
  bool waitForWrites(std::size_t count, std::chrono::milliseconds timeout) const;
  // Called on umockdev's thread with each report taken, before it is answered.
  void setObserver(std::function<void(const ReceivedReport&)> observer);

  // Called by the test bed: `fifo` is our end of the node, in packet mode.
  void attach(int fifo) { fifo_ = fifo; }
  void taken(const std::uint8_t* bytes, std::size_t length);

 private:
  std::size_t countTaken() const;

  const AdapterSettings settings_;
  int fifo_ = -1;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<Data> writes_;
  std::function<void(const ReceivedReport&)> observer_;
};

}  // namespace platform::sim
