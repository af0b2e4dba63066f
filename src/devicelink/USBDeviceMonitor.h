#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "USBDevice.h"
#include "platform/SerialQueue.h"
#include "platform/USBRegistry.h"

inline constexpr const char* USBDeviceConnected = "USBDeviceConnected";
inline constexpr const char* USBDeviceDisconnected = "USBDeviceDisconnected";

// The plug-in interface identifiers, made once on first use; kept for callers
// that look them up.
using USBInterfaceID = std::array<std::uint8_t, 16>;
const USBInterfaceID& kIOUSBDeviceUserClientTypeID();
const USBInterfaceID& kIOUSBDeviceInterfaceID();
const USBInterfaceID& kIOCFPlugInInterfaceID();

std::uint8_t USBmakebmRequestType(int direction, int type, int recipient);

// Watches for USB devices of the given pairs, opens each one that arrives and
// announces arrivals and departures, each pair on a serial queue of its own.
class USBDeviceMonitor {
 public:
  explicit USBDeviceMonitor(std::vector<USBMonitorData> vp,
                            std::shared_ptr<platform::USBRegistry> registry = platform::libusbRegistry());
  virtual ~USBDeviceMonitor() = default;

  // Announces the devices present, arms the watches and returns.
  virtual void start();
  virtual void rawDeviceAdded(platform::USBIterator iterator);
  virtual void rawDeviceRemoved(platform::USBIterator iterator);

  const std::vector<USBMonitorData> vp;

 private:
  void announce(platform::USBService& service);
  std::shared_ptr<platform::USBRegistry> registry_;
  std::vector<std::unique_ptr<platform::SerialQueue>> queues_;
};
