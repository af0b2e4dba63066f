#pragma once
#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "HIDDevice.h"
#include "HIDMonitorData.h"
#include "platform/HIDPlatform.h"

inline constexpr const char* HIDDeviceConnected = "HIDDeviceConnected";
inline constexpr const char* HIDDeviceDisconnected = "HIDDeviceDisconnected";
inline constexpr const char* HIDDeviceDataReceived = "HIDDeviceDataReceived";
// A matching adapter whose node may not be opened: "node" (its path) and
// "present" (false when it leaves).
inline constexpr const char* HIDDeviceAccessDenied = "HIDDeviceAccessDenied";

// Watches for HID devices of the given pairs on the thread that runs start(),
// and posts their arrival, removal and every input report as notifications.
class HIDDeviceMonitor {
 public:
  HIDDeviceMonitor(std::vector<HIDMonitorData> vp, std::int64_t reportSize);
  virtual ~HIDDeviceMonitor() = default;

  // Never returns: the monitor's loop runs on the calling thread for good.
  [[noreturn]] virtual void start();
  virtual void read(int result, void* inSender, int type, std::uint32_t reportId, const std::uint8_t* report,
                    std::int64_t reportLength, std::chrono::steady_clock::time_point arrived);
  virtual void rawDeviceAdded(int result, void* inSender, platform::IOHIDDeviceRef inIOHIDDeviceRef);
  virtual void rawDeviceRemoved(int result, void* inSender, platform::IOHIDDeviceRef inIOHIDDeviceRef);

  const std::vector<HIDMonitorData> vp;
  const std::int64_t reportSize;

 private:
  std::unique_ptr<platform::HIDManager> manager_;
  // One input buffer per appearance of a device; kept for the monitor's life,
  // since a removed device may still have a read under way in the loop.
  std::list<std::vector<std::uint8_t>> buffers_;
};
