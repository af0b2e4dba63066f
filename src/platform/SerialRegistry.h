#pragma once
#include <any>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The registry of serial ports the serial monitor polls. The built program
// reads it from libudev; tests stand in a registry of their own.
namespace platform {

class SerialRegistryEntry {
 public:
  virtual ~SerialRegistryEntry() = default;
  // The entry's own property ("IOCalloutDevice": the device node), or empty.
  virtual std::any property(const std::string& key) const = 0;
  // The property on the entry or its nearest ancestor that has it: text for
  // "USB Product Name", "USB Vendor Name", "USB Serial Number", a number for
  // "idVendor" and "idProduct"; empty when none has it.
  virtual std::any searchProperty(const std::string& key) const = 0;
};
using SerialRegistryIterator = std::vector<std::shared_ptr<SerialRegistryEntry>>;

class SerialRegistry {
 public:
  virtual ~SerialRegistry() = default;
  // Every serial port now; no value when the listing cannot be made.
  virtual std::optional<SerialRegistryIterator> matchingServices() = 0;
  virtual void usleep(std::uint32_t microseconds) = 0;
};

std::shared_ptr<SerialRegistry> udevSerialRegistry();

}  // namespace platform
