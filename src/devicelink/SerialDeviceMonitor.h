#pragma once
#include <any>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "SerialDevice.h"
#include "platform/SerialRegistry.h"

inline constexpr const char* SerialDeviceAdded = "SerialDeviceAdded";
inline constexpr const char* SerialDeviceRemoved = "SerialDeviceRemoved";

// Keeps the list of the machine's serial ports by polling, and posts every port
// that has gone and every port that is new after each scan.
class SerialDeviceMonitor {
 public:
  using Filter = std::function<std::vector<SerialDevice>(std::vector<SerialDevice>)>;

  explicit SerialDeviceMonitor(std::shared_ptr<platform::SerialRegistry> registry = platform::udevSerialRegistry());
  virtual ~SerialDeviceMonitor() = default;

  std::vector<SerialDevice> serialDevices;
  float portUsageIntervalTime = 0.25f;
  std::optional<Filter> filterDevices;

  virtual std::any getDeviceProperty(const platform::SerialRegistryEntry& device, const std::string& key) const;
  virtual void getSerialDevices(const platform::SerialRegistryIterator& iterator);
  // Never returns: scans, pauses, scans again.
  [[noreturn]] virtual void start();
  // One pass of start(): a scan (skipped when the ports cannot be listed), then the pause.
  void pass();

  // The pause in microseconds for an interval. Not a number counts as the
  // initial interval; below 0 as 0; above what 32 bits of microseconds hold,
  // as the largest that fits.
  static std::uint32_t pauseMicroseconds(float seconds);

 private:
  std::any getParentProperty(const platform::SerialRegistryEntry& device, const std::string& key) const;
  SerialDevice describe(const platform::SerialRegistryEntry& entry, std::string path) const;

  std::shared_ptr<platform::SerialRegistry> registry_;
};
