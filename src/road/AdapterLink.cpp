#include "AdapterLink.h"

#include <chrono>
#include <optional>

#include "platform/Dictionary.h"

namespace road {
namespace {
constexpr std::int64_t kMonitorReportSize = 64;
}

void forwardConnected(const platform::Notification& notification, update::ExchangeThread& exchange) {
  const auto* device = platform::lookup<HIDDevice>(notification.object, "device");
  if (!device) return;
  exchange.post(
      [writer = std::make_shared<RFDevice>(*device)](update::AdapterExchange& e) { e.adapterConnected(writer); });
}

void forwardDisconnected(const platform::Notification& notification, update::ExchangeThread& exchange) {
  const auto* device = platform::lookup<platform::IOHIDDeviceRef>(notification.object, "device");
  if (!device) return;
  exchange.post([key = update::AdapterKey(device->get())](update::AdapterExchange& e) { e.adapterGone(key); });
}

update::AdapterKey senderOf(const platform::Notification& notification) {
  const auto* sender = platform::lookup<const platform::HIDPlatformDevice*>(notification.object, "sender");
  return sender ? *sender : nullptr;
}

void forwardReply(const platform::Notification& notification, update::ExchangeThread& exchange) {
  const auto* data = platform::lookup<platform::Data>(notification.object, "data");
  if (!data) return;
  // A report that does not say where it came from is kept, and answers nothing.
  const update::AdapterKey from = senderOf(notification);
  const auto* at = platform::lookup<std::chrono::steady_clock::time_point>(notification.object, "at");
  std::optional<std::chrono::steady_clock::time_point> arrived;
  if (at) arrived = *at;
  exchange.post([reply = *data, from, arrived](update::AdapterExchange& e) { e.replyReceived(reply, from, arrived); });
}

void forwardDenied(const platform::Notification& notification, update::ExchangeThread& exchange) {
  const auto* node = platform::lookup<std::string>(notification.object, "node");
  const auto* present = platform::lookup<bool>(notification.object, "present");
  if (!node || !present) return;
  exchange.post([node = *node, present = *present](update::AdapterExchange& e) { e.adapterDenied(node, present); });
}

ArmedMonitor armMonitor(std::int64_t vendorId, std::int64_t productId) {
  auto monitor = std::make_shared<HIDDeviceMonitor>(std::vector<HIDMonitorData>{HIDMonitorData(vendorId, productId)},
                                                    kMonitorReportSize);
  auto daemon = std::make_shared<platform::Thread>([monitor] { monitor->start(); });
  daemon->start();
  return {monitor, daemon};
}

}  // namespace road
