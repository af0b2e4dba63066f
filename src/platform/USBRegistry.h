#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "SerialQueue.h"

struct libusb_device;
struct libusb_device_handle;

// The USB registry the USB monitor watches. The built program reads it from
// libusb; tests stand in a bus of their own. Result codes are 0 for success.
namespace platform {

constexpr int kIOReturnExclusiveAccess = -536870203;  // 0xE00002C5

// An opened (or held elsewhere) USB device.
class USBDeviceInterface {
 public:
  virtual ~USBDeviceInterface() = default;
  // 0, kIOReturnExclusiveAccess when another client holds the device or we may
  // not open it, or the library's error code.
  virtual int USBDeviceOpen() = 0;
  virtual int GetDeviceVendor(std::uint16_t& vendor) = 0;
  virtual int GetDeviceProduct(std::uint16_t& product) = 0;
  virtual libusb_device* device() const { return nullptr; }
  virtual libusb_device_handle* handle() const { return nullptr; }
};

// One registry entry handed out by an iterator.
class USBService {
 public:
  virtual ~USBService() = default;
  virtual int registryEntryID(std::uint64_t& id) = 0;
  virtual int name(std::string& name) = 0;  // at most 127 bytes
  virtual int createDeviceInterface(std::shared_ptr<USBDeviceInterface>& out) = 0;
  virtual int release() = 0;
};
using USBIterator = std::deque<std::shared_ptr<USBService>>;
using USBIteratorCallback = std::function<void(USBIterator)>;

class USBRegistry {
 public:
  virtual ~USBRegistry() = default;
  // Arms arrival and departure notifications for one vendor and product pair,
  // delivered on `queue`. `added` receives the matching devices present now.
  // False, with a message, when the watch cannot be set up.
  virtual bool addMatchingNotifications(std::uint16_t vendor, std::uint16_t product, SerialQueue& queue,
                                        USBIteratorCallback arrived, USBIteratorCallback left, USBIterator& added,
                                        USBIterator& removed) = 0;
};

std::shared_ptr<USBRegistry> libusbRegistry();

// Bus number in the top byte, then up to seven port numbers of a byte each.
std::uint64_t usbRegistryId(std::uint8_t bus, const std::uint8_t* ports, int count);

}  // namespace platform
