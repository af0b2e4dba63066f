#include "HIDDeviceMonitor.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "platform/Data.h"
#include "platform/Dictionary.h"
#include "platform/NotificationCenter.h"

using platform::Dictionary;
using platform::NotificationCenter;

HIDDeviceMonitor::HIDDeviceMonitor(std::vector<HIDMonitorData> vp, std::int64_t reportSize)
    : vp(std::move(vp)), reportSize(reportSize) {}

void HIDDeviceMonitor::start() {
  manager_ = platform::IOHIDManagerCreate();
  std::vector<platform::HIDMatching> matching;
  for (const auto& pair : vp) matching.push_back({{"ProductID", pair.productId}, {"VendorID", pair.vendorId}});
  manager_->setDeviceMatchingMultiple(matching);
  manager_->open();
  manager_->registerDeviceMatchingCallback(
      [this](int result, void* sender, platform::IOHIDDeviceRef device) { rawDeviceAdded(result, sender, device); });
  manager_->registerDeviceRemovalCallback(
      [this](int result, void* sender, platform::IOHIDDeviceRef device) { rawDeviceRemoved(result, sender, device); });
  manager_->registerAccessDeniedCallback([](const std::string& node, bool present) {
    NotificationCenter::defaultCenter().post(HIDDeviceAccessDenied, Dictionary{{"node", node}, {"present", present}});
  });
  manager_->runLoop();
  std::abort();  // the loop never returns
}

void HIDDeviceMonitor::rawDeviceAdded(int, void*, platform::IOHIDDeviceRef device) {
  if (!device) return;
  auto& buffer = buffers_.emplace_back(static_cast<std::size_t>(std::max<std::int64_t>(reportSize, 0)));
  manager_->registerInputReportCallback(
      device, buffer.data(), static_cast<std::int64_t>(buffer.size()),
      [this, device](int result, void*, int type, std::uint32_t reportId, const std::uint8_t* report,
                     std::int64_t length, std::chrono::steady_clock::time_point arrived) {
        read(result, device.get(), type, reportId, report, length, arrived);
      });
  const HIDDevice record(device);
  NotificationCenter::defaultCenter().post(HIDDeviceConnected, Dictionary{{"device", record}});
}

void HIDDeviceMonitor::rawDeviceRemoved(int, void*, platform::IOHIDDeviceRef device) {
  if (!device) return;
  const HIDDevice record(device);
  NotificationCenter::defaultCenter().post(HIDDeviceDisconnected, Dictionary{{"id", record.id}, {"device", device}});
}

// "sender" names the device the report came from, so that only the adapter
// that was asked is heard.
void HIDDeviceMonitor::read(int, void* inSender, int, std::uint32_t, const std::uint8_t* report,
                            std::int64_t reportLength, std::chrono::steady_clock::time_point arrived) {
  platform::Data data;
  if (report && reportLength > 0) data.assign(report, report + reportLength);
  const auto* sender = static_cast<const platform::HIDPlatformDevice*>(inSender);
  // When it arrived: the adapter's own pause before the next piece began then.
  NotificationCenter::defaultCenter().post(HIDDeviceDataReceived,
                                           Dictionary{{"data", data}, {"sender", sender}, {"at", arrived}});
}
