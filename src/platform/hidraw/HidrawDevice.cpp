#include "HidrawDevice.h"

#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace platform {

HidrawDevice::HidrawDevice(int fd, std::string syspath, std::string devnode,
                           std::map<std::string, HIDProperty> properties)
    : fd_(fd), syspath_(std::move(syspath)), devnode_(std::move(devnode)), properties_(std::move(properties)) {}

HidrawDevice::~HidrawDevice() {
  if (fd_ >= 0) ::close(fd_);
}

HIDProperty HidrawDevice::property(const std::string& key) const {
  auto it = properties_.find(key);
  return it == properties_.end() ? HIDProperty{} : it->second;
}

bool HidrawDevice::claim() {
  if (fd_ < 0 || claimed_.exchange(true)) return false;
  int taken;
  do {
    taken = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (taken != 0 && errno == EINTR);
  if (taken != 0) claimed_ = false;
  return taken == 0;
}

void HidrawDevice::release() {
  if (!claimed_.load()) return;
  ::flock(fd_, LOCK_UN);
  claimed_ = false;
}

// The adapter must get the report bytes as they stand on its interrupt OUT
// pipe: report ID 2 names the output report, but the adapter's reports carry
// no id byte (an id would only go into a control transfer's wValue). hidraw
// takes the report number as the first byte of a write and drops a leading 0
// before sending, so the wire carries exactly the report only when we lead
// with 0x00; leading with 0x02 would put an extra byte in front of every piece
// and shift the whole image by one.
int HidrawDevice::setReport(int reportType, std::uint32_t, const std::uint8_t* report, std::int64_t length) {
  if (reportType != kIOHIDReportTypeOutput || length < 0 || fd_ < 0) return kIOReturnError;
  std::vector<std::uint8_t> frame(static_cast<std::size_t>(length) + 1, 0);
  std::copy(report, report + length, frame.begin() + 1);
  ssize_t n;
  do {
    n = ::write(fd_, frame.data(), frame.size());
  } while (n < 0 && errno == EINTR);
  if (n == static_cast<ssize_t>(frame.size())) {
    tapOutputReport(report, length);
    return kIOReturnSuccess;
  }
  return errno == ENODEV ? kIOReturnNotAttached : kIOReturnError;
}

}  // namespace platform
