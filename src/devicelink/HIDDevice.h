#pragma once
#include <cstdint>
#include <string>

#include "platform/HIDPlatform.h"

// The record of one attached HID device, read off its properties. Any copy
// keeps the device object alive.
struct HIDDevice {
  explicit HIDDevice(platform::IOHIDDeviceRef device);

  std::string id;
  std::int64_t vendorId = 0;
  std::int64_t productId = 0;
  std::int64_t reportSize = 0;
  platform::IOHIDDeviceRef device;
  std::string name;
  // Where the device sits, for texts that name it (/dev/hidraw3).
  std::string node;
  // Its USB port path ("1-2.3") and serial number; "" where not known. A
  // device that comes back is known by these: its node may change.
  std::string port;
  std::string serial;
};
