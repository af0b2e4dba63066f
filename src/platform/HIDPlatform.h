#pragma once
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

// The HID manager and device calls the device link is written against. The
// built program runs them on hidraw and libudev; the simulated adapter plugs
// in below the same calls.
namespace platform {

using HIDProperty = std::variant<std::monostate, std::int64_t, std::string>;

constexpr int kIOHIDReportTypeInput = 0;
constexpr int kIOHIDReportTypeOutput = 1;
constexpr int kIOReturnSuccess = 0;
constexpr int kIOReturnError = -536870212;  // 0xE00002BC
constexpr int kIOReturnNotAttached = -536870167;

class HIDPlatformDevice {
 public:
  virtual ~HIDPlatformDevice() = default;
  // A property's value, or monostate when the device has none of that name.
  virtual HIDProperty property(const std::string& key) const = 0;
  // Sends one report; the result is kIOReturnSuccess or an error code.
  virtual int setReport(int reportType, std::uint32_t reportId, const std::uint8_t* report, std::int64_t length) = 0;
  // Makes this the device's one writer, against every other exchange and
  // process, until release(): false, and nothing taken, when another holds it.
  virtual bool claim() { return true; }
  virtual void release() {}
};
using IOHIDDeviceRef = std::shared_ptr<HIDPlatformDevice>;

using HIDMatching = std::map<std::string, std::int64_t>;
using HIDDeviceCallback = std::function<void(int result, void* sender, IOHIDDeviceRef device)>;
// `arrived`: when the report was known to be waiting (the wait that found it
// ready returned), which is earlier than the read that fetched it.
using HIDReportCallback =
    std::function<void(int result, void* sender, int type, std::uint32_t reportId, const std::uint8_t* report,
                       std::int64_t reportLength, std::chrono::steady_clock::time_point arrived)>;

// One manager per monitor, used only on the thread that runs it.
class HIDManager {
 public:
  virtual ~HIDManager() = default;
  virtual void setDeviceMatchingMultiple(const std::vector<HIDMatching>& matching) = 0;
  virtual int open() = 0;
  virtual void registerDeviceMatchingCallback(HIDDeviceCallback callback) = 0;
  virtual void registerDeviceRemovalCallback(HIDDeviceCallback callback) = 0;
  // A matching device that may not be opened (its node's permissions), when it
  // appears (present) and when it leaves. Managers that cannot tell ignore it.
  virtual void registerAccessDeniedCallback(std::function<void(const std::string& node, bool present)>) {}
  // Reports of the device are read into `buffer` (which must stay valid while
  // the device is attached) and handed to the callback with their length.
  virtual void registerInputReportCallback(const IOHIDDeviceRef& device, std::uint8_t* buffer, std::int64_t length,
                                           HIDReportCallback callback) = 0;
  // Runs the calling thread's loop: first every matching device already
  // attached, then arrivals, removals and reports as they come. Never returns.
  [[noreturn]] virtual void runLoop() = 0;
};

using HIDManagerFactory = std::function<std::unique_ptr<HIDManager>()>;

std::unique_ptr<HIDManager> IOHIDManagerCreate();
// Replaces the source of managers made from now on (the simulated adapter's
// bus, or hidraw again with nullptr). Managers already made keep theirs.
void setHIDManagerFactory(HIDManagerFactory factory);

// Sees every output report the hidraw layer writes (the demo prints them).
using OutputReportTap = std::function<void(const std::uint8_t* report, std::int64_t length)>;
void setOutputReportTap(OutputReportTap tap);
void tapOutputReport(const std::uint8_t* report, std::int64_t length);

}  // namespace platform
