#pragma once
#include "HIDDevice.h"
#include "platform/Data.h"

// The one path by which anything is sent to the adapter: each write is one
// output report of the device's report size.
class RFDevice {
 public:
  explicit RFDevice(HIDDevice deviceInfo) : deviceInfo(std::move(deviceInfo)) {}
  // Whether the device took the report. Callers that only send a command may
  // ignore it; the transfer must not go on past a piece that was not taken.
  bool write(const platform::Data& data) const { return write(data.data(), data.size()); }
  bool write(const std::uint8_t* bytes, std::size_t length) const;
  // The device's one writer from the first report of an exchange to its end.
  bool claim() const { return deviceInfo.device && deviceInfo.device->claim(); }
  void release() const {
    if (deviceInfo.device) deviceInfo.device->release();
  }

  const HIDDevice deviceInfo;
};
