#include "HIDPlatform.h"

#include <mutex>

#include "hidraw/HidrawManager.h"

namespace platform {
namespace {
std::mutex& factoryMutex() {
  static auto* m = new std::mutex;
  return *m;
}
HIDManagerFactory& factory() {
  static auto* f = new HIDManagerFactory;
  return *f;
}
}  // namespace

std::unique_ptr<HIDManager> IOHIDManagerCreate() {
  HIDManagerFactory make;
  {
    std::lock_guard lock(factoryMutex());
    make = factory();
  }
  if (make) return make();
  return std::make_unique<HidrawManager>();
}

namespace {
OutputReportTap& tap() {
  static auto* t = new OutputReportTap;
  return *t;
}
}  // namespace

void setOutputReportTap(OutputReportTap t) {
  std::lock_guard lock(factoryMutex());
  tap() = std::move(t);
}

void tapOutputReport(const std::uint8_t* report, std::int64_t length) {
  OutputReportTap t;
  {
    std::lock_guard lock(factoryMutex());
    t = tap();
  }
  if (t) t(report, length);
}

void setHIDManagerFactory(HIDManagerFactory f) {
  std::lock_guard lock(factoryMutex());
  factory() = std::move(f);
}

}  // namespace platform
