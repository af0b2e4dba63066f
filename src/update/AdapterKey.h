#pragma once
#include "devicelink/RFDevice.h"

namespace update {
// Which adapter a request goes to: the platform device behind it. A reply
// counts only when it comes from the adapter that was asked.
using AdapterKey = const platform::HIDPlatformDevice*;
inline AdapterKey keyOf(const RFDevice& device) { return device.deviceInfo.device.get(); }
}  // namespace update
