#pragma once
#include <cstdint>
#include <memory>

#include "devicelink/HIDDeviceMonitor.h"
#include "platform/NotificationCenter.h"
#include "platform/Thread.h"
#include "update/ExchangeThread.h"

// Between the HID monitors and the exchange, for the window and the command
// line alike: the monitors' notifications become requests to the exchange's
// thread, as they come, and each pair gets its monitor when first needed.
namespace road {

void forwardConnected(const platform::Notification& notification, update::ExchangeThread& exchange);
void forwardDisconnected(const platform::Notification& notification, update::ExchangeThread& exchange);
void forwardReply(const platform::Notification& notification, update::ExchangeThread& exchange);
// The adapter a data notification came from; null when it does not say.
update::AdapterKey senderOf(const platform::Notification& notification);
void forwardDenied(const platform::Notification& notification, update::ExchangeThread& exchange);

// A monitor for one pair, running on a thread of its own for the rest of the
// process's life.
struct ArmedMonitor {
  std::shared_ptr<HIDDeviceMonitor> monitor;
  std::shared_ptr<platform::Thread> daemon;
};
ArmedMonitor armMonitor(std::int64_t vendorId, std::int64_t productId);

}  // namespace road
