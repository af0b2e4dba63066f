#include <libudev.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "SerialRegistry.h"

namespace platform {
namespace {

const std::map<std::string, const char*>& sysattrOf() {
  static const std::map<std::string, const char*> names = {{"USB Product Name", "product"},
                                                           {"USB Vendor Name", "manufacturer"},
                                                           {"USB Serial Number", "serial"},
                                                           {"idVendor", "idVendor"},
                                                           {"idProduct", "idProduct"}};
  return names;
}

class UdevEntry : public SerialRegistryEntry {
 public:
  explicit UdevEntry(udev_device* dev) : dev_(dev) {}
  ~UdevEntry() override { udev_device_unref(dev_); }
  UdevEntry(const UdevEntry&) = delete;
  UdevEntry& operator=(const UdevEntry&) = delete;

  std::any property(const std::string& key) const override {
    if (key != "IOCalloutDevice") return {};
    const char* node = udev_device_get_devnode(dev_);
    return node ? std::any(std::string(node)) : std::any();
  }

  std::any searchProperty(const std::string& key) const override {
    auto it = sysattrOf().find(key);
    if (it == sysattrOf().end()) return {};
    for (udev_device* d = dev_; d; d = udev_device_get_parent(d)) {
      const char* value = udev_device_get_sysattr_value(d, it->second);
      if (!value) continue;
      if (key == "idVendor" || key == "idProduct")
        return std::any(static_cast<std::int64_t>(std::strtol(value, nullptr, 16)));
      return std::any(std::string(value));
    }
    return {};
  }

 private:
  udev_device* dev_;
};

// Serial ports are tty devices with a parent device: consoles, ptmx and
// virtual terminals have none.
class UdevSerialRegistry : public SerialRegistry {
 public:
  std::optional<SerialRegistryIterator> matchingServices() override {
    udev* u = udev_new();
    if (!u) return std::nullopt;
    udev_enumerate* list = udev_enumerate_new(u);
    if (!list || udev_enumerate_add_match_subsystem(list, "tty") < 0 || udev_enumerate_scan_devices(list) < 0) {
      if (list) udev_enumerate_unref(list);
      udev_unref(u);
      return std::nullopt;
    }
    SerialRegistryIterator ports;
    udev_list_entry* entry;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list)) {
      udev_device* dev = udev_device_new_from_syspath(u, udev_list_entry_get_name(entry));
      if (!dev) continue;
      if (udev_device_get_parent(dev)) ports.push_back(std::make_shared<UdevEntry>(dev));
      else udev_device_unref(dev);
    }
    udev_enumerate_unref(list);
    udev_unref(u);  // the devices keep their own reference to the context
    return ports;
  }

  void usleep(std::uint32_t microseconds) override { ::usleep(microseconds); }
};

}  // namespace

std::shared_ptr<SerialRegistry> udevSerialRegistry() { return std::make_shared<UdevSerialRegistry>(); }

}  // namespace platform
