#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/HIDPlatform.h"

struct udev;
struct udev_device;
struct udev_monitor;

namespace platform {

// How hidraw nodes are opened: ::open, or a test's stand-in (to make it fail
// as a node without permission does).
using NodeOpener = int (*)(const char* path, int flags);
void setNodeOpener(NodeOpener opener);  // nullptr: ::open again

class HidrawDevice;

// The HID manager on Linux: hidraw nodes found through libudev, matched by
// vendor and product, watched with a udev monitor and read in a poll loop on
// the thread that runs it.
class HidrawManager : public HIDManager {
 public:
  HidrawManager();
  ~HidrawManager() override;

  void setDeviceMatchingMultiple(const std::vector<HIDMatching>& matching) override;
  int open() override;
  void registerDeviceMatchingCallback(HIDDeviceCallback callback) override;
  void registerDeviceRemovalCallback(HIDDeviceCallback callback) override;
  void registerAccessDeniedCallback(std::function<void(const std::string& node, bool present)> callback) override;
  void registerInputReportCallback(const IOHIDDeviceRef& device, std::uint8_t* buffer, std::int64_t length,
                                   HIDReportCallback callback) override;
  [[noreturn]] void runLoop() override;

 private:
  struct Reader {
    std::uint8_t* buffer;
    std::int64_t length;
    HIDReportCallback callback;
    bool hungUp = false;
  };

  bool matches(std::int64_t vendor, std::int64_t product) const;
  void deviceAppeared(udev_device* dev, bool justAdded);
  void deviceLeft(udev_device* dev);
  void handleMonitor();
  void handleReadable(const std::shared_ptr<HidrawDevice>& device, short revents,
                      std::chrono::steady_clock::time_point ready);
  void pollOnce();

  std::vector<HIDMatching> matching_;
  HIDDeviceCallback added_, removed_;
  udev* udev_ = nullptr;
  udev_monitor* monitor_ = nullptr;
  bool kernelEvents_ = false;
  std::map<std::string, std::shared_ptr<HidrawDevice>> devices_;  // by syspath
  std::map<std::string, std::string> denied_;                     // node by syspath
  std::function<void(const std::string&, bool)> deniedCallback_;
  std::map<HIDPlatformDevice*, Reader> readers_;
};

}  // namespace platform
