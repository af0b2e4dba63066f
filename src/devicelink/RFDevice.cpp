#include "RFDevice.h"

#include <algorithm>
#include <iostream>

bool RFDevice::write(const platform::Data& data) const {
  const auto n = static_cast<std::int64_t>(data.size());
  if (n > deviceInfo.reportSize) {
    std::cout << "Output data too large for USB report" << std::endl;
    return false;
  }
  platform::Data report(static_cast<std::size_t>(deviceInfo.reportSize), 0);
  std::copy(data.begin(), data.end(), report.begin());
  if (!deviceInfo.device) return false;
  return deviceInfo.device->setReport(platform::kIOHIDReportTypeOutput, 2, report.data(),
                                      static_cast<std::int64_t>(report.size())) == platform::kIOReturnSuccess;
}
