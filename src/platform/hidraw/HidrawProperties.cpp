#include "HidrawProperties.h"

#include <libudev.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include "platform/ReportDescriptor.h"

namespace platform {
namespace {

udev_device* usbDeviceAbove(udev_device* dev) {
  return udev_device_get_parent_with_subsystem_devtype(dev, "usb", "usb_device");
}

std::optional<std::int64_t> hexAttribute(udev_device* dev, const char* name) {
  const char* text = dev ? udev_device_get_sysattr_value(dev, name) : nullptr;
  if (!text || !*text) return std::nullopt;
  char* end = nullptr;
  const long v = std::strtol(text, &end, 16);
  if (end == text) return std::nullopt;
  return v;
}

std::optional<std::vector<std::uint8_t>> descriptorFromNode(int fd) {
  int size = 0;
  if (fd < 0 || ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size <= 0 || size > HID_MAX_DESCRIPTOR_SIZE)
    return std::nullopt;
  hidraw_report_descriptor desc{};
  desc.size = static_cast<__u32>(size);
  if (ioctl(fd, HIDIOCGRDESC, &desc) < 0) return std::nullopt;
  return std::vector<std::uint8_t>(desc.value, desc.value + size);
}

// The sysfs copy holds 0x00 bytes, so it is read as a file, not as an attribute.
std::optional<std::vector<std::uint8_t>> descriptorFromSysfs(udev_device* hidraw) {
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
  if (!hid) return std::nullopt;
  std::ifstream in(std::string(udev_device_get_syspath(hid)) + "/report_descriptor", std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return bytes;
}

}  // namespace

void forEachHidrawDevice(udev* context, const std::function<void(udev_device*)>& visit) {
  udev_enumerate* list = udev_enumerate_new(context);
  udev_enumerate_add_match_subsystem(list, "hidraw");
  udev_enumerate_scan_devices(list);
  udev_list_entry* entry;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list)) {
    if (udev_device* dev = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry))) {
      visit(dev);
      udev_device_unref(dev);
    }
  }
  udev_enumerate_unref(list);
}

std::optional<HidrawIdentity> hidrawIdentity(udev_device* hidraw) {
  udev_device* hid = udev_device_get_parent_with_subsystem_devtype(hidraw, "hid", nullptr);
  if (const char* id = hid ? udev_device_get_property_value(hid, "HID_ID") : nullptr) {
    unsigned bus = 0, vendor = 0, product = 0;
    if (std::sscanf(id, "%x:%x:%x", &bus, &vendor, &product) == 3) return HidrawIdentity{vendor, product};
  }
  udev_device* usb = usbDeviceAbove(hidraw);
  auto vendor = hexAttribute(usb, "idVendor"), product = hexAttribute(usb, "idProduct");
  if (vendor && product) return HidrawIdentity{*vendor, *product};
  return std::nullopt;
}

std::int64_t locationIdFrom(int busnum, const std::string& devpath) {
  std::int64_t location = static_cast<std::int64_t>(busnum & 0xFF) << 24;
  std::istringstream ports(devpath);
  std::string port;
  for (int shift = 20; shift >= 0 && std::getline(ports, port, '.'); shift -= 4)
    location |= static_cast<std::int64_t>(std::atoi(port.c_str()) & 0xF) << shift;
  return location;
}

std::map<std::string, HIDProperty> hidrawProperties(udev_device* hidraw, int fd, const HidrawIdentity& identity) {
  std::map<std::string, HIDProperty> p;
  p["VendorID"] = identity.vendorId;
  p["ProductID"] = identity.productId;
  udev_device* usb = usbDeviceAbove(hidraw);
  if (const char* product = usb ? udev_device_get_sysattr_value(usb, "product") : nullptr) p["Product"] = product;
  // The usb_device's own name is its bus and port path, "1-2.3".
  if (usb) p["PortPath"] = std::string(udev_device_get_sysname(usb));
  if (const char* serial = usb ? udev_device_get_sysattr_value(usb, "serial") : nullptr; serial && *serial)
    p["SerialNumber"] = std::string(serial);
  auto descriptor = descriptorFromNode(fd);
  if (!descriptor) descriptor = descriptorFromSysfs(hidraw);
  if (descriptor)
    if (auto size = maxInputReportSize(descriptor->data(), descriptor->size())) p["MaxInputReportSize"] = *size;
  const char* busnum = usb ? udev_device_get_sysattr_value(usb, "busnum") : nullptr;
  const char* devpath = usb ? udev_device_get_sysattr_value(usb, "devpath") : nullptr;
  if (busnum && devpath) p["LocationID"] = locationIdFrom(std::atoi(busnum), devpath);
  return p;
}

}  // namespace platform
