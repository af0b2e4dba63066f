#include "HIDDevice.h"

namespace {
template <typename T>
T propertyOr(const platform::IOHIDDeviceRef& device, const char* key, T fallback) {
  if (!device) return fallback;
  const platform::HIDProperty value = device->property(key);
  if (const T* v = std::get_if<T>(&value)) return *v;
  return fallback;
}
}  // namespace

HIDDevice::HIDDevice(platform::IOHIDDeviceRef dev) : device(std::move(dev)) {
  id = propertyOr<std::string>(device, "LocationID", "");
  name = propertyOr<std::string>(device, "Product", "");
  node = propertyOr<std::string>(device, "DevNode", "");
  port = propertyOr<std::string>(device, "PortPath", "");
  serial = propertyOr<std::string>(device, "SerialNumber", "");
  vendorId = propertyOr<std::int64_t>(device, "VendorID", 0);
  productId = propertyOr<std::int64_t>(device, "ProductID", 0);
  reportSize = propertyOr<std::int64_t>(device, "MaxInputReportSize", 0);
}
