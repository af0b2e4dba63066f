// The HID monitors' notifications, handed to the exchange as they come.
#include "ViewController.h"
#include "platform/Dictionary.h"

void ViewController::usbConnected(const platform::Notification& notification) {
  const auto* device = platform::lookup<HIDDevice>(notification.object, "device");
  if (!device) return;
  exchange_->post([writer = std::make_shared<RFDevice>(*device)](update::AdapterExchange& e) {
    e.adapterConnected(writer);
  });
}

void ViewController::usbDisconnected(const platform::Notification& notification) {
  const auto* device = platform::lookup<platform::IOHIDDeviceRef>(notification.object, "device");
  if (!device) return;
  exchange_->post([key = update::AdapterKey(device->get())](update::AdapterExchange& e) { e.adapterGone(key); });
}

void ViewController::hidReadData(const platform::Notification& notification) {
  const auto* data = platform::lookup<platform::Data>(notification.object, "data");
  if (!data) return;
  // A report that does not say where it came from is kept, and answers nothing.
  const auto* sender = platform::lookup<const platform::HIDPlatformDevice*>(notification.object, "sender");
  const update::AdapterKey from = sender ? *sender : nullptr;
  const auto* at = platform::lookup<std::chrono::steady_clock::time_point>(notification.object, "at");
  std::optional<std::chrono::steady_clock::time_point> arrived;
  if (at) arrived = *at;
  exchange_->post([reply = *data, from, arrived](update::AdapterExchange& e) { e.replyReceived(reply, from, arrived); });
}

void ViewController::usbAccessDenied(const platform::Notification& notification) {
  const auto* node = platform::lookup<std::string>(notification.object, "node");
  const auto* present = platform::lookup<bool>(notification.object, "present");
  if (!node || !present) return;
  exchange_->post([node = *node, present = *present](update::AdapterExchange& e) { e.adapterDenied(node, present); });
}
