#pragma once
#include <atomic>
#include <map>
#include <string>

#include "platform/HIDPlatform.h"

namespace platform {

// One open /dev/hidrawN. Its properties are read once, when it is found, so
// that they can still be read after it is gone.
class HidrawDevice : public HIDPlatformDevice {
 public:
  HidrawDevice(int fd, std::string syspath, std::string devnode, std::map<std::string, HIDProperty> properties);
  ~HidrawDevice() override;
  HidrawDevice(const HidrawDevice&) = delete;
  HidrawDevice& operator=(const HidrawDevice&) = delete;

  HIDProperty property(const std::string& key) const override;
  int setReport(int reportType, std::uint32_t reportId, const std::uint8_t* report, std::int64_t length) override;
  // An exclusive flock on the open node: every ringflash process takes it
  // before its first report, so two never interleave their reports. Within
  // the process a second exchange is refused as well.
  bool claim() override;
  void release() override;

  int fd() const { return fd_; }
  const std::string& syspath() const { return syspath_; }
  const std::string& devnode() const { return devnode_; }

 private:
  int fd_;
  std::string syspath_, devnode_;
  std::map<std::string, HIDProperty> properties_;
  std::atomic<bool> claimed_{false};
};

}  // namespace platform
