// The adapter image button, and the arming of the device link.
#include "ViewController.h"
#include "road/AdapterLink.h"

bool ViewController::isInMonitor(std::int64_t VID, std::int64_t PID) {
  return exchange_->call([=](update::AdapterExchange& e) { return e.isInMonitor(VID, PID); });
}

// One monitor and one thread per pair, for the rest of the process's life.
// Runs on the exchange's thread.
void ViewController::arm(std::int64_t vendor, std::int64_t product) {
  road::ArmedMonitor armed = road::armMonitor(vendor, product);
  std::lock_guard lock(monitorMutex_);
  rfDeviceMonitor_ = std::move(armed.monitor);
  rfDeviceDaemon_ = std::move(armed.daemon);
}

void ViewController::ImageOnClick() {
  if (tableSelectedRow() == selectedRow) return;
  exchange_->post([v = vid_, p = pid_](update::AdapterExchange& e) { e.lensPressed(v, p); });
}
