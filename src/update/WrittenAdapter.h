#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "AdapterKey.h"
#include "AdapterReports.h"

namespace update {

// An adapter whose last piece went out: it runs the image only once it is
// taken out and plugged in again, and then says which version it runs.
struct WrittenAdapter {
  std::int64_t vendorId = 0, productId = 0;
  std::string port, serial;  // as its device showed them when it was written
  reports::Version version{};
  // The device it was written as: while it lives, the same adapter announced
  // again is no return.
  std::weak_ptr<platform::HIDPlatformDevice> device;
  bool left = false;  // it was taken out since
  bool isDevice(AdapterKey key) const {
    const auto alive = device.lock();
    return alive && alive.get() == key;
  }
  std::shared_ptr<RFDevice> back;  // it came back as this device; its query is due
};

// Whether `device` is that adapter: by serial number when both have one (a
// port can take another adapter), else by port.
inline bool isTheWrittenAdapter(const WrittenAdapter& written, const HIDDevice& device) {
  if (device.vendorId != written.vendorId || device.productId != written.productId) return false;
  if (!written.serial.empty() && !device.serial.empty()) return written.serial == device.serial;
  return !written.port.empty() && written.port == device.port;
}

// How a written adapter answered when it came back.
enum class Reseat {
  confirmed,     // it runs the version written
  otherVersion,  // it runs another: the update did not take
  unanswered,    // it did not answer the query
};

struct Confirmation {
  Reseat result;
  std::string port;
  reports::Version written{};
  std::optional<reports::Version> running;  // what it said, when it answered
};

// What the status line says of it: the version it runs, and the one written.
std::string textOf(const Confirmation& confirmation);

}  // namespace update
