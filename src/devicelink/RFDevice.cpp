#include "RFDevice.h"

#include <algorithm>
#include "platform/Diagnostics.h"

bool RFDevice::write(const std::uint8_t* bytes, std::size_t length) const {
  if (static_cast<std::int64_t>(length) > deviceInfo.reportSize) {
    platform::diagnose("Output data too large for USB report");
    return false;
  }
  // One buffer per writing thread, reused: a transfer sends hundreds of reports.
  thread_local platform::Data report;
  report.assign(static_cast<std::size_t>(deviceInfo.reportSize), 0);
  std::copy(bytes, bytes + length, report.begin());
  if (!deviceInfo.device) return false;
  return deviceInfo.device->setReport(platform::kIOHIDReportTypeOutput, 2, report.data(),
                                      static_cast<std::int64_t>(report.size())) == platform::kIOReturnSuccess;
}
