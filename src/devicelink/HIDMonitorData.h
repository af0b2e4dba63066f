#pragma once
#include <cstdint>

// One pair of identifiers to watch: a device matches when both are equal.
struct HIDMonitorData {
  HIDMonitorData(std::int64_t vendorId, std::int64_t productId) : vendorId(vendorId), productId(productId) {}
  const std::int64_t vendorId;
  const std::int64_t productId;
};
