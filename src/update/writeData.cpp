// The start of an update: the adapter is checked against the entry and asked
// for its version.
#include "app/StatusTexts.h"
#include "app/ViewController.h"

namespace {
constexpr double kCheckPause = 1.0;
}

void ViewController::writeData() {
  // A transfer that a late reply started meanwhile is left to finish.
  if (state == stateConstants::stGetResponseOfStartWriteData) {
    postStatus(texts::busyForUpdate);
    return;
  }
  const std::int64_t vendor = vid(), product = pid();
  if (!isInMonitor(vendor, product)) {
    state = stateConstants::stStartWriteData;
    arm(vendor, product);
  }
  sleep(kCheckPause);
  const auto device = connectedDevice();
  if (isConnected && device && device->deviceInfo.vendorId == vendor && device->deviceInfo.productId == product) {
    state = stateConstants::stStartWriteData;
    device->write(platform::Data(check_tab.begin(), check_tab.end()));
    return;
  }
  postStatus(isConnected ? texts::mismatch : texts::noDevice);
}
