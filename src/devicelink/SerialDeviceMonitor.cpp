#include "SerialDeviceMonitor.h"

#include <cmath>
#include <cstdlib>
#include <unordered_set>

#include "platform/Dictionary.h"
#include "platform/NotificationCenter.h"

namespace {
template <typename T>
std::optional<T> as(const std::any& value) {
  if (const T* v = std::any_cast<T>(&value)) return *v;
  return std::nullopt;
}
}  // namespace

SerialDeviceMonitor::SerialDeviceMonitor(std::shared_ptr<platform::SerialRegistry> registry)
    : registry_(std::move(registry)) {}

std::any SerialDeviceMonitor::getDeviceProperty(const platform::SerialRegistryEntry& device,
                                                const std::string& key) const {
  return device.property(key);
}

std::any SerialDeviceMonitor::getParentProperty(const platform::SerialRegistryEntry& device,
                                                const std::string& key) const {
  return device.searchProperty(key);
}

SerialDevice SerialDeviceMonitor::describe(const platform::SerialRegistryEntry& entry, std::string path) const {
  SerialDevice d(std::move(path));
  d.name = as<std::string>(getParentProperty(entry, "USB Product Name"));
  d.vendorName = as<std::string>(getParentProperty(entry, "USB Vendor Name"));
  d.serialNumber = as<std::string>(getParentProperty(entry, "USB Serial Number"));
  d.vendorId = as<std::int64_t>(getParentProperty(entry, "idVendor"));
  d.productId = as<std::int64_t>(getParentProperty(entry, "idProduct"));
  return d;
}

void SerialDeviceMonitor::getSerialDevices(const platform::SerialRegistryIterator& iterator) {
  std::vector<SerialDevice> found;
  for (const auto& entry : iterator) {
    if (!entry) continue;
    auto path = as<std::string>(getDeviceProperty(*entry, "IOCalloutDevice"));
    if (!path) continue;
    found.push_back(describe(*entry, std::move(*path)));
  }
  if (filterDevices && *filterDevices) found = (*filterDevices)(std::move(found));
  const std::unordered_set<SerialDevice> previous(serialDevices.begin(), serialDevices.end());
  const std::unordered_set<SerialDevice> current(found.begin(), found.end());
  auto& center = platform::NotificationCenter::defaultCenter();
  for (const auto& gone : previous)
    if (!current.count(gone)) center.post(SerialDeviceRemoved, platform::Dictionary{{"device", gone}});
  for (const auto& fresh : current)
    if (!previous.count(fresh)) center.post(SerialDeviceAdded, platform::Dictionary{{"device", fresh}});
  serialDevices = std::move(found);
}

std::uint32_t SerialDeviceMonitor::pauseMicroseconds(float seconds) {
  if (std::isnan(seconds)) seconds = 0.25f;
  const float micro = seconds * 1000000.0f;
  if (!(micro > 0.0f)) return 0;
  if (micro >= 4294967295.0f) return 4294967295u;
  return static_cast<std::uint32_t>(micro);
}

void SerialDeviceMonitor::pass() {
  if (auto ports = registry_->matchingServices()) getSerialDevices(*ports);
  registry_->usleep(pauseMicroseconds(portUsageIntervalTime));
}

void SerialDeviceMonitor::start() {
  for (;;) pass();
}
