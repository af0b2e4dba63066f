#pragma once
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "AdapterSettings.h"
#include "SimulatedAdapter.h"
#include "platform/Data.h"

typedef struct _UMockdevTestbed UMockdevTestbed;

namespace platform::sim {

// The test bed exists only inside umockdev's preload: runs the program again
// under it (with the same arguments) unless it already runs there.
void runUnderUmockdevPreload(char** argv);

// The adapter's end of one emulated /dev/hidraw node. It answers the report
// descriptor ioctls, takes each write() as one output report (the report
// number, then the report) and answers a query or a data report with one
// 64-byte input report, as the simulated adapter does.
class EmulatedHidrawNode {
 public:
  explicit EmulatedHidrawNode(AdapterSettings settings);
  EmulatedHidrawNode(const EmulatedHidrawNode&) = delete;
  EmulatedHidrawNode& operator=(const EmulatedHidrawNode&) = delete;
  ~EmulatedHidrawNode();

  const AdapterSettings& settings() const { return settings_; }
  // Every write() as it came, report number first.
  std::vector<Data> writes() const;
  bool waitForWrites(std::size_t count, std::chrono::milliseconds timeout) const;
  // Called on umockdev's thread with each report taken, before it is answered.
  void setObserver(std::function<void(const ReceivedReport&)> observer);

  // Called by the test bed.
  void attach(int fifo) { fifo_ = fifo; }
  void taken(const std::uint8_t* bytes, std::size_t length);

 private:
  const AdapterSettings settings_;
  int fifo_ = -1;  // our end of the node, in packet mode: one write is one report
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<Data> writes_;
  std::function<void(const ReceivedReport&)> observer_;
};

// sysfs, the udev events and the device nodes of adapters on USB bus 1, for
// the real libudev and hidraw code. Nodes still open when a test bed goes
// away hang umockdev, so the test bed itself is kept until the process ends.
class EmulatedHidrawBed {
 public:
  EmulatedHidrawBed();
  EmulatedHidrawBed(const EmulatedHidrawBed&) = delete;
  EmulatedHidrawBed& operator=(const EmulatedHidrawBed&) = delete;
  ~EmulatedHidrawBed();

  // Adds an adapter at `port` whose hidraw device is `name` ("hidraw0"); its
  // node is answered by `node`, or is missing when there is none. Returns the
  // hidraw device's sysfs path.
  std::string addAdapter(const char* name, const AdapterSettings& settings, int port, EmulatedHidrawNode* node);
  // Says "remove" for the device, then takes it away.
  void remove(const std::string& syspath);

  UMockdevTestbed* testbed() const { return testbed_; }
  std::string root() const { return root_; }

 private:
  void attachNode(const std::string& devnode, EmulatedHidrawNode* node);

  UMockdevTestbed* testbed_;
  std::string root_;
  std::vector<int> fifos_;
};

}  // namespace platform::sim
