#include <libusb.h>

#include <fstream>
#include <sstream>

#include <mutex>
#include <thread>
#include "Diagnostics.h"

#include "USBRegistry.h"

namespace platform {

std::uint64_t usbRegistryId(std::uint8_t bus, const std::uint8_t* ports, int count) {
  std::uint64_t id = std::uint64_t{bus} << 56;
  for (int i = 0; i < count && i < 7; ++i) id |= std::uint64_t{ports[i]} << (48 - 8 * i);
  return id;
}

namespace {

class LibusbInterface : public USBDeviceInterface {
 public:
  explicit LibusbInterface(libusb_device* dev) : dev_(libusb_ref_device(dev)) {}
  ~LibusbInterface() override {
    if (handle_) libusb_close(handle_);
    libusb_unref_device(dev_);
  }
  LibusbInterface(const LibusbInterface&) = delete;
  LibusbInterface& operator=(const LibusbInterface&) = delete;

  int USBDeviceOpen() override {
    const int r = libusb_open(dev_, &handle_);
    if (r == LIBUSB_ERROR_ACCESS || r == LIBUSB_ERROR_BUSY) return kIOReturnExclusiveAccess;
    return r;
  }
  int GetDeviceVendor(std::uint16_t& vendor) override {
    return descriptor([&](auto& d) { vendor = d.idVendor; });
  }
  int GetDeviceProduct(std::uint16_t& product) override {
    return descriptor([&](auto& d) { product = d.idProduct; });
  }
  libusb_device* device() const override { return dev_; }
  libusb_device_handle* handle() const override { return handle_; }

 private:
  template <typename F>
  int descriptor(F take) {
    libusb_device_descriptor d{};
    const int r = libusb_get_device_descriptor(dev_, &d);
    if (r == 0) take(d);
    return r;
  }
  libusb_device* dev_;
  libusb_device_handle* handle_ = nullptr;
};

class LibusbService : public USBService {
 public:
  explicit LibusbService(libusb_device* dev) : dev_(libusb_ref_device(dev)) {}
  ~LibusbService() override { release(); }
  LibusbService(const LibusbService&) = delete;
  LibusbService& operator=(const LibusbService&) = delete;

  int registryEntryID(std::uint64_t& id) override {
    std::uint8_t ports[7];
    const int n = libusb_get_port_numbers(dev_, ports, 7);
    if (n < 0) return n;
    id = usbRegistryId(libusb_get_bus_number(dev_), ports, n);
    return 0;
  }
  // The product string as the kernel read it, so the device need not be opened.
  int name(std::string& name) override {
    std::uint8_t ports[7];
    const int n = libusb_get_port_numbers(dev_, ports, 7);
    if (n <= 0) return LIBUSB_ERROR_NOT_FOUND;
    std::string path = "/sys/bus/usb/devices/" + std::to_string(libusb_get_bus_number(dev_)) + "-";
    for (int i = 0; i < n; ++i) path += (i ? "." : "") + std::to_string(ports[i]);
    std::ifstream in(path + "/product");
    if (!in || !std::getline(in, name)) return LIBUSB_ERROR_NOT_FOUND;
    if (name.size() > 127) name.resize(127);
    return 0;
  }
  int createDeviceInterface(std::shared_ptr<USBDeviceInterface>& out) override {
    if (!dev_) return LIBUSB_ERROR_NO_DEVICE;
    out = std::make_shared<LibusbInterface>(dev_);
    return 0;
  }
  int release() override {
    if (dev_) libusb_unref_device(dev_);
    dev_ = nullptr;
    return 0;
  }

 private:
  libusb_device* dev_;
};

struct Watch {
  SerialQueue* queue;
  USBIteratorCallback arrived, left;
  USBIterator* added = nullptr;  // filled while the present devices are enumerated
  std::thread::id enumerating;   // on this thread, inside the registration
};

int LIBUSB_CALL onHotplug(libusb_context*, libusb_device* dev, libusb_hotplug_event event, void* user) {
  auto* watch = static_cast<Watch*>(user);
  auto service = std::make_shared<LibusbService>(dev);
  if (std::this_thread::get_id() == watch->enumerating && event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED) {
    watch->added->push_back(service);
    return 0;
  }
  auto& deliver = event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED ? watch->arrived : watch->left;
  watch->queue->async([deliver, service] { deliver(USBIterator{service}); });
  return 0;
}

class LibusbRegistry : public USBRegistry {
 public:
  bool addMatchingNotifications(std::uint16_t vendor, std::uint16_t product, SerialQueue& queue,
                                USBIteratorCallback arrived, USBIteratorCallback left, USBIterator& added,
                                USBIterator&) override {
    libusb_context* ctx = context();
    if (!ctx || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
      diagnose("Unable to watch USB devices: libusb has no hotplug support here");
      return false;
    }
    auto* watch = new Watch{&queue, std::move(arrived), std::move(left), &added,
                            std::this_thread::get_id()};  // lives as long as the watch
    std::lock_guard lock(registering_);
    const int r = libusb_hotplug_register_callback(
        ctx, static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
        LIBUSB_HOTPLUG_ENUMERATE, vendor, product, LIBUSB_HOTPLUG_MATCH_ANY, onHotplug, watch, nullptr);
    watch->enumerating = std::thread::id();
    if (r != LIBUSB_SUCCESS) {
      std::ostringstream line;
      line << "Unable to watch USB devices " << std::hex << vendor << ":" << product << std::dec << " (error: " << r
           << ")";
      diagnose(line.str());
      delete watch;
      return false;
    }
    return true;
  }

 private:
  // One context for the process, with a thread of its own running its events.
  static libusb_context* context() {
    static libusb_context* ctx = [] {
      libusb_context* c = nullptr;
      if (libusb_init(&c) != 0) {
        diagnose("Unable to use libusb");
        return static_cast<libusb_context*>(nullptr);
      }
      std::thread([c] {
        for (;;) libusb_handle_events(c);
      }).detach();
      return c;
    }();
    return ctx;
  }
  std::mutex registering_;
};

}  // namespace

std::shared_ptr<USBRegistry> libusbRegistry() {
  static auto registry = std::make_shared<LibusbRegistry>();
  return registry;
}

}  // namespace platform
