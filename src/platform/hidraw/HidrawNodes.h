#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A hidraw node as it is attached now, read from sysfs without opening it.
struct HidrawNode {
  std::string node;  // "/dev/hidraw3"
  std::string port;  // the USB port path of its device, "1-2.3"; "" when not on USB
  std::int64_t vendorId = 0;
  std::int64_t productId = 0;
  std::string product;  // the USB product string, "" when there is none
  std::string serial;   // "" when there is none
  bool denied = false;  // there, but this user may not open it for reading and writing
};

// What to do about a node that may not be opened: the udev rule line for the
// adapter's ids, where it goes, and how to make udev take it.
std::string accessRuleAdvice(std::int64_t vendorId, std::int64_t productId);

// Every hidraw node with known ids, in the order of their names.
std::vector<HidrawNode> attachedHidrawNodes();

}  // namespace platform
