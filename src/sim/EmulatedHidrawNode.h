#pragma once
#include <functional>
#include <mutex>
#include <vector>

#include "AdapterModel.h"
#include "AdapterSettings.h"
#include "platform/Data.h"

namespace sim {

// The adapter's end of one emulated /dev/hidraw node (see EmulatedHidrawBed).
// It takes each write() as one output report (the report number, then the
// report) and lets the adapter's model answer it with one input report.
// The node cannot pull itself out: the model's knobs for leaving are the
// test bed's to act on.
class EmulatedHidrawNode {
 public:
  explicit EmulatedHidrawNode(AdapterSettings settings);
  EmulatedHidrawNode(const EmulatedHidrawNode&) = delete;
  EmulatedHidrawNode& operator=(const EmulatedHidrawNode&) = delete;

  AdapterSettings settings() const;
  // Every write() as it came, report number first.
  std::vector<platform::Data> writes() const;
  // Called on umockdev's thread with each report taken, before it is answered.
  void setObserver(std::function<void(const ReceivedReport&)> observer);

  // Called by the test bed: `fifo` is our end of the node, in packet mode;
  // each attach is a plug.
  void attach(int fifo);
  // False when the adapter does not take the report: the write fails.
  bool taken(const std::uint8_t* bytes, std::size_t length);

 private:
  int fifo_ = -1;
  mutable std::mutex mutex_;
  AdapterModel model_;
  std::vector<platform::Data> writes_;
  std::function<void(const ReceivedReport&)> observer_;
};

}  // namespace sim
