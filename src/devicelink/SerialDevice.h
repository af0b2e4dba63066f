#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// One serial port, known by its callout device path: two records are the same
// port exactly when their paths are equal, whatever else they say.
struct SerialDevice {
  explicit SerialDevice(std::string path) : path(std::move(path)) {}
  std::string path;
  std::optional<std::string> name;
  std::optional<std::string> vendorName;
  std::optional<std::string> serialNumber;
  std::optional<std::int64_t> vendorId;
  std::optional<std::int64_t> productId;

  bool operator==(const SerialDevice& other) const { return path == other.path; }
};

template <>
struct std::hash<SerialDevice> {
  std::size_t operator()(const SerialDevice& d) const noexcept { return std::hash<std::string>()(d.path); }
};
