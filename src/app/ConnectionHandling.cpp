// The adapter arriving and leaving, as the HID monitor announces it.
#include "StatusTexts.h"
#include "ViewController.h"
#include "platform/Dictionary.h"
#include "platform/MainQueue.h"

void ViewController::usbConnected(const platform::Notification& notification) {
  const auto* device = platform::lookup<HIDDevice>(notification.object, "device");
  if (!device) return;
  {
    std::lock_guard lock(linkMutex_);
    // A second adapter with the same ids arriving mid-transfer must not take
    // over the rest of the image: the pieces keep going where the start went.
    const bool transferring = state == stateConstants::stGetResponseOfStartWriteData && connectedDevice_;
    if (!transferring) connectedDevice_ = std::make_shared<RFDevice>(*device);
  }
  isConnected = true;
  platform::mainQueueAsync(this, [this] {
    if (state == stateConstants::stStartWriteData) showStatus(texts::connectedAppend);
    else if (state == stateConstants::stCheck) showStatus(texts::connected);
  });
}

void ViewController::usbDisconnected(const platform::Notification&) {
  {
    std::lock_guard lock(linkMutex_);
    connectedDevice_.reset();
  }
  isConnected = false;
  state = stateConstants::stEmpty;
  postStatus(texts::disconnected);
}
