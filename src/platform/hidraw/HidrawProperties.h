#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "platform/HIDPlatform.h"

#include <functional>

struct udev;
struct udev_device;

namespace platform {

struct HidrawIdentity {
  std::int64_t vendorId;
  std::int64_t productId;
};

// Every hidraw device attached now, each while `visit` runs.
void forEachHidrawDevice(udev* context, const std::function<void(udev_device*)>& visit);

// Vendor and product of a hidraw node: from its parent hid device's HID_ID,
// or else from the usb_device above it.
std::optional<HidrawIdentity> hidrawIdentity(udev_device* hidraw);

// The properties the device link reads: VendorID, ProductID, Product (the USB
// product string), MaxInputReportSize (from the report descriptor; absent if
// it cannot be read or is malformed) and LocationID (bus and port path).
std::map<std::string, HIDProperty> hidrawProperties(udev_device* hidraw, int fd, const HidrawIdentity& identity);

// A location number: bus number in the top byte, then one nibble per port,
// so that a device keeps its number for as long as it stays in its port.
std::int64_t locationIdFrom(int busnum, const std::string& devpath);

}  // namespace platform
