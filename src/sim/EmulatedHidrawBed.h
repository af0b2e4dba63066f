#pragma once
#include <map>
#include <string>
#include <vector>

#include "AdapterSettings.h"
#include "EmulatedHidrawNode.h"

typedef struct _UMockdevTestbed UMockdevTestbed;  // NOLINT(bugprone-reserved-identifier): umockdev's own name

namespace sim {

// sysfs, the udev events and the device nodes of adapters on USB bus 1, for
// the real libudev and hidraw code, on a umockdev test bed (the program must
// run under umockdev's preload: runUnderUmockdevPreload). Each node answers
// the report descriptor ioctls itself and hands writes to its
// EmulatedHidrawNode. Nodes still open when a test bed goes away hang
// umockdev, so the test bed itself is kept until the process ends.
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
  // The adapter whose hidraw device was `syspath`, removed, comes back on
  // its port as `name` ("hidraw7"): a re-seat. Returns the new device's path.
  std::string plugAgain(const std::string& syspath, const char* name, EmulatedHidrawNode* node);

  UMockdevTestbed* testbed() const { return testbed_; }
  std::string root() const { return root_; }

 private:
  void attachNode(const std::string& devnode, EmulatedHidrawNode* node);
  std::string addNode(const char* name, const std::string& hid, EmulatedHidrawNode* node);

  UMockdevTestbed* testbed_;
  std::string root_;
  std::vector<int> fifos_;
  std::map<std::string, std::string> parents_;  // a hidraw device's hid device
};

}  // namespace sim
