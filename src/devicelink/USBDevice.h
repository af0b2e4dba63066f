#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/USBRegistry.h"

struct USBMonitorData {
  USBMonitorData(std::uint16_t vendorId, std::uint16_t productId) : vendorId(vendorId), productId(productId) {}
  const std::uint16_t vendorId;
  const std::uint16_t productId;
};

// One USB device that was found and opened. The device interface stands for
// the platform's two interface handles: it carries the libusb device and, when
// this process could open it, its handle. The receiver owns it.
struct USBDevice {
  std::uint64_t id;
  std::uint16_t vendorId;
  std::uint16_t productId;
  std::string name;
  std::shared_ptr<platform::USBDeviceInterface> deviceInterface;
};
