#include "USBDeviceMonitor.h"

#include <string>

#include "platform/Diagnostics.h"

#include "platform/Dictionary.h"
#include "platform/NotificationCenter.h"

const USBInterfaceID& kIOUSBDeviceUserClientTypeID() {
  static const USBInterfaceID id{0x9D, 0xC7, 0xB7, 0x80, 0x9E, 0xC0, 0x11, 0xD4,
                                 0xA5, 0x4F, 0x00, 0x0A, 0x27, 0x05, 0x28, 0x61};
  return id;
}
const USBInterfaceID& kIOUSBDeviceInterfaceID() {
  static const USBInterfaceID id{0x5C, 0x81, 0x87, 0xD0, 0x9E, 0xF3, 0x11, 0xD4,
                                 0x8B, 0x45, 0x00, 0x0A, 0x27, 0x05, 0x28, 0x61};
  return id;
}
const USBInterfaceID& kIOCFPlugInInterfaceID() {
  static const USBInterfaceID id{0xC2, 0x44, 0xE8, 0x58, 0x10, 0x9C, 0x11, 0xD4,
                                 0x91, 0xD4, 0x00, 0x50, 0xE4, 0xC6, 0x42, 0x6F};
  return id;
}

std::uint8_t USBmakebmRequestType(int direction, int type, int recipient) {
  return static_cast<std::uint8_t>(((direction & 1) << 7) | ((type & 3) << 5) | (recipient & 0x1F));
}

USBDeviceMonitor::USBDeviceMonitor(std::vector<USBMonitorData> vp, std::shared_ptr<platform::USBRegistry> registry)
    : vp(std::move(vp)), registry_(std::move(registry)) {}

void USBDeviceMonitor::start() {
  for (const auto& pair : vp) {
    auto& queue = *queues_.emplace_back(std::make_unique<platform::SerialQueue>("IODetector"));
    platform::USBIterator added, removed;
    const bool armed = registry_->addMatchingNotifications(
        pair.vendorId, pair.productId, queue, [this](platform::USBIterator it) { rawDeviceAdded(std::move(it)); },
        [this](platform::USBIterator it) { rawDeviceRemoved(std::move(it)); }, added, removed);
    if (!armed) continue;  // that pair is given up; the registry said why
    rawDeviceAdded(std::move(added));
    rawDeviceRemoved(std::move(removed));
  }
}

void USBDeviceMonitor::rawDeviceAdded(platform::USBIterator iterator) {
  for (auto& service : iterator)
    if (service) announce(*service);
}

void USBDeviceMonitor::announce(platform::USBService& service) {
  std::uint64_t id = 0;
  if (service.registryEntryID(id) != 0) {
    platform::diagnose("Error getting device id");
    id = 0;
  }
  std::string name;
  if (service.name(name) != 0) {
    platform::diagnose("Error getting device name");
    name.clear();
  }
  std::shared_ptr<platform::USBDeviceInterface> device;
  const int created = service.createDeviceInterface(device);
  service.release();
  if (created != 0) return;
  if (!device) {
    platform::diagnose("Unable to get Device Interface");
    return;
  }
  const int opened = device->USBDeviceOpen();
  if (opened != 0 && opened != platform::kIOReturnExclusiveAccess) {
    platform::diagnose("Could not open device (error: " + std::to_string(opened) + ")");
    return;
  }
  std::uint16_t vendor = 0, product = 0;
  if (device->GetDeviceVendor(vendor) != 0 || device->GetDeviceProduct(product) != 0) return;
  platform::NotificationCenter::defaultCenter().post(
      USBDeviceConnected, platform::Dictionary{{"device", USBDevice{id, vendor, product, name, device}}});
}

void USBDeviceMonitor::rawDeviceRemoved(platform::USBIterator iterator) {
  for (auto& service : iterator) {
    if (!service) continue;
    std::uint64_t id = 0;
    if (service->registryEntryID(id) != 0) {
      platform::diagnose("Error getting device id");
      id = 0;
    }
    const int released = service->release();
    if (released != 0) {
      platform::diagnose("Couldn\u2019t release raw device object (error: " + std::to_string(released) + ")");
      continue;
    }
    platform::NotificationCenter::defaultCenter().post(USBDeviceDisconnected, platform::Dictionary{{"id", id}});
  }
}
