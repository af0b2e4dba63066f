// Arming the device link for the current entry's identifiers, and the lens
// query of the adapter image button.
#include "app/StatusTexts.h"
#include "app/ViewController.h"

namespace {
constexpr std::int64_t kMonitorReportSize = 64;
constexpr double kQueryPause = 1.0;
}  // namespace

bool ViewController::isInMonitor(std::int64_t VID, std::int64_t PID) {
  std::lock_guard lock(fieldsMutex_);
  for (const auto& pair : pv_)
    if (pair.vendorId == VID && pair.productId == PID) return true;
  pv_.emplace_back(VID, PID);
  return false;
}

// One monitor and one thread per pair, for the rest of the process's life.
void ViewController::arm(std::int64_t vendor, std::int64_t product) {
  auto monitor = std::make_shared<HIDDeviceMonitor>(std::vector<HIDMonitorData>{HIDMonitorData(vendor, product)},
                                                    kMonitorReportSize);
  auto daemon = std::make_shared<platform::Thread>([monitor] { monitor->start(); });
  {
    std::lock_guard lock(fieldsMutex_);
    rfDeviceMonitor_ = monitor;
    rfDeviceDaemon_ = daemon;
  }
  daemon->start();
}

void ViewController::ImageOnClick() {
  if (tableSelectedRow() == selectedRow) return;
  // Asking for the lens now would stop the pieces and leave the adapter half written.
  if (state == stateConstants::stGetResponseOfStartWriteData) {
    showStatus(texts::busyForLens);
    return;
  }
  const std::int64_t vendor = vid(), product = pid();
  if (!isInMonitor(vendor, product)) arm(vendor, product);
  state = stateConstants::stCheck;
  sleep(kQueryPause);
  if (isConnected) {
    if (auto device = connectedDevice()) device->write(platform::Data(check_tab.begin(), check_tab.end()));
    return;
  }
  showStatus(texts::noDeviceForLens);
}
