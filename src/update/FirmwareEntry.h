#pragma once
#include <array>
#include <cstdint>

namespace update {
// The list entry an image is written for: the adapter it is meant for and the
// version the start report announces.
struct FirmwareEntry {
  std::uint32_t vendorId = 0;
  std::uint32_t productId = 0;
  std::array<std::int64_t, 3> version{0, 0, 0};

  bool versionFitsTheStartReport() const {
    for (auto n : version)
      if (n < 0 || n > 255) return false;
    return true;
  }
};
}  // namespace update
