#include "HidrawManager.h"

#include <fcntl.h>
#include <libudev.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "HidrawDevice.h"
#include "HidrawNodes.h"
#include "HidrawProperties.h"
#include "platform/Diagnostics.h"

namespace platform {
namespace {

// Without a udev daemon the node may show up a moment after the kernel's event.
constexpr int kOpenAttemptsWithoutUdevd = 50;
constexpr auto kOpenRetryPause = std::chrono::milliseconds(20);

bool udevDaemonRuns() { return ::access("/run/udev/control", F_OK) == 0; }

std::atomic<NodeOpener> opener{nullptr};

int openNode(const char* devnode, bool retry) {
  for (int attempt = 0;; ++attempt) {
    const NodeOpener open = opener.load();
    const int fd =
        open ? open(devnode, O_RDWR | O_NONBLOCK | O_CLOEXEC) : ::open(devnode, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0 || !retry || attempt + 1 >= kOpenAttemptsWithoutUdevd) return fd;
    std::this_thread::sleep_for(kOpenRetryPause);
  }
}

void reportUnopenable(const char* devnode, const HidrawIdentity& id, int error) {
  diagnose(std::string("Cannot open ") + devnode + " (" + std::strerror(error) +
           "): " + accessRuleAdvice(id.vendorId, id.productId));
}

}  // namespace

void setNodeOpener(NodeOpener next) { opener = next; }

HidrawManager::HidrawManager() = default;

HidrawManager::~HidrawManager() {
  if (monitor_) udev_monitor_unref(monitor_);
  if (udev_) udev_unref(udev_);
}

void HidrawManager::setDeviceMatchingMultiple(const std::vector<HIDMatching>& matching) { matching_ = matching; }

int HidrawManager::open() {
  udev_ = udev_new();
  if (!udev_) return kIOReturnError;
  kernelEvents_ = !udevDaemonRuns();
  monitor_ = udev_monitor_new_from_netlink(udev_, kernelEvents_ ? "kernel" : "udev");
  if (!monitor_) return kIOReturnError;
  udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr);
  return udev_monitor_enable_receiving(monitor_) == 0 ? kIOReturnSuccess : kIOReturnError;
}

void HidrawManager::registerDeviceMatchingCallback(HIDDeviceCallback callback) { added_ = std::move(callback); }
void HidrawManager::registerDeviceRemovalCallback(HIDDeviceCallback callback) { removed_ = std::move(callback); }
void HidrawManager::registerAccessDeniedCallback(std::function<void(const std::string&, bool)> callback) {
  deniedCallback_ = std::move(callback);
}

void HidrawManager::registerInputReportCallback(const IOHIDDeviceRef& device, std::uint8_t* buffer, std::int64_t length,
                                                HIDReportCallback callback) {
  readers_[device.get()] = Reader{buffer, length, std::move(callback)};
}

bool HidrawManager::matches(std::int64_t vendor, std::int64_t product) const {
  return std::any_of(matching_.begin(), matching_.end(), [&](const HIDMatching& m) {
    auto v = m.find("VendorID"), p = m.find("ProductID");
    return v != m.end() && p != m.end() && v->second == vendor && p->second == product;
  });
}

void HidrawManager::deviceAppeared(udev_device* dev, bool justAdded) {
  const char* devnode = udev_device_get_devnode(dev);
  const char* syspath = udev_device_get_syspath(dev);
  if (!devnode || !syspath || devices_.count(syspath)) return;
  const auto identity = hidrawIdentity(dev);
  if (!identity || !matches(identity->vendorId, identity->productId)) return;
  const int fd = openNode(devnode, justAdded && kernelEvents_);
  if (fd < 0) {
    const int error = errno;
    reportUnopenable(devnode, *identity, error);
    if ((error == EACCES || error == EPERM) && !denied_.count(syspath)) {
      denied_[syspath] = devnode;
      if (deniedCallback_) deniedCallback_(devnode, true);
    }
    return;
  }
  auto properties = hidrawProperties(dev, fd, *identity);
  properties["DevNode"] = std::string(devnode);
  auto device = std::make_shared<HidrawDevice>(fd, syspath, devnode, std::move(properties));
  devices_[syspath] = device;
  if (added_) added_(kIOReturnSuccess, this, device);
}

// On removal sysfs is gone already: the device is found by the syspath it had.
void HidrawManager::deviceLeft(udev_device* dev) {
  const char* syspath = udev_device_get_syspath(dev);
  if (auto denied = syspath ? denied_.find(syspath) : denied_.end(); denied != denied_.end()) {
    const std::string node = denied->second;
    denied_.erase(denied);
    if (deniedCallback_) deniedCallback_(node, false);
    return;
  }
  auto it = syspath ? devices_.find(syspath) : devices_.end();
  if (it == devices_.end()) return;
  auto device = it->second;
  devices_.erase(it);
  readers_.erase(device.get());
  if (removed_) removed_(kIOReturnSuccess, this, device);
}

void HidrawManager::handleMonitor() {
  while (udev_device* dev = udev_monitor_receive_device(monitor_)) {
    const char* action = udev_device_get_action(dev);
    if (action && std::strcmp(action, "remove") == 0) deviceLeft(dev);
    else if (action && std::strcmp(action, "add") == 0) deviceAppeared(dev, true);
    udev_device_unref(dev);
  }
}

// A device that hangs up is only dropped from the poll set; its removal is
// announced when udev says it has gone. One read a wake: the report it returns
// is the oldest queued, so it was there when poll() returned at `ready`.
void HidrawManager::handleReadable(const std::shared_ptr<HidrawDevice>& device, short revents,
                                   std::chrono::steady_clock::time_point ready) {
  auto it = readers_.find(device.get());
  if (it == readers_.end()) return;
  Reader& reader = it->second;
  if (revents & POLLIN) {
    const ssize_t n = ::read(device->fd(), reader.buffer, static_cast<std::size_t>(reader.length));
    if (n > 0) reader.callback(kIOReturnSuccess, this, kIOHIDReportTypeInput, 0, reader.buffer, n, ready);
    else if (n < 0 && errno != EAGAIN && errno != EINTR) reader.hungUp = true;
  } else if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
    reader.hungUp = true;
  }
}

void HidrawManager::pollOnce() {
  std::vector<pollfd> fds{{udev_monitor_get_fd(monitor_), POLLIN, 0}};
  std::vector<std::shared_ptr<HidrawDevice>> watched;
  for (const auto& [path, device] : devices_) {
    auto it = readers_.find(device.get());
    if (it == readers_.end() || it->second.hungUp || it->second.length <= 0) continue;
    fds.push_back({device->fd(), POLLIN, 0});
    watched.push_back(device);
  }
  if (::poll(fds.data(), fds.size(), -1) < 0) return;
  const auto ready = std::chrono::steady_clock::now();
  if (fds[0].revents & POLLIN) handleMonitor();
  for (std::size_t i = 0; i < watched.size(); ++i)
    if (fds[i + 1].revents) handleReadable(watched[i], fds[i + 1].revents, ready);
}

void HidrawManager::runLoop() {
  if (!monitor_) {
    for (;;) ::pause();  // the manager could not be opened: nothing is ever reported
  }
  forEachHidrawDevice(udev_, [this](udev_device* dev) { deviceAppeared(dev, false); });
  for (;;) pollOnce();
}

}  // namespace platform
