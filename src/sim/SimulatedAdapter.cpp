#include "SimulatedAdapter.h"

#include <algorithm>
#include <atomic>
#include <string>

#include "SimulatedBus.h"

namespace sim {
using namespace platform;  // the simulator stands in for the platform's devices
namespace {
// Each adapter of its own on its own port, unless told where it sits.
AdapterSettings withPort(AdapterSettings s) {
  static std::atomic<int> next{1};
  if (s.port.empty()) s.port = "1-" + std::to_string(next++);
  return s;
}
}  // namespace

SimulatedAdapter::SimulatedAdapter(std::weak_ptr<SimulatedBus> bus, AdapterSettings settings)
    : bus_(std::move(bus)), model_(withPort(std::move(settings))) {}

HIDProperty SimulatedAdapter::property(const std::string& key) const {
  std::lock_guard lock(mutex_);
  const AdapterSettings& s = model_.settings();
  if (key == "PortPath") return s.port;
  if (key == "SerialNumber" && !s.serial.empty()) return s.serial;
  if (key == "VendorID") return s.vendorId;
  if (key == "ProductID") return s.productId;
  if (key == "Product") return s.product;
  if (key == "LocationID") return s.locationId;
  if (key == "DevNode") return s.node;
  if (key == "MaxInputReportSize" && s.maxInputReportSize) return *s.maxInputReportSize;
  return std::monostate{};
}

int SimulatedAdapter::setReport(int reportType, std::uint32_t, const std::uint8_t* report, std::int64_t length) {
  if (reportType != kIOHIDReportTypeOutput || length < 0) return kIOReturnError;
  Answer answer;
  double delay = 0;
  std::uint64_t generation;
  std::function<void(const ReceivedReport&)> observer;
  const Data bytes(report, report + length);
  {
    std::lock_guard lock(mutex_);
    if (!plugged_) return kIOReturnNotAttached;
    answer = model_.take(report, static_cast<std::size_t>(length));
    if (answer.refused) return kIOReturnError;
    received_.push_back({answer.kind, bytes});
    delay = model_.settings().replyDelaySeconds;
    generation = generation_;
    observer = observer_;
  }
  changed_.notify_all();
  if (observer) observer({answer.kind, bytes});
  auto bus = bus_.lock();
  if (!bus) return kIOReturnSuccess;
  if (answer.leave) bus->unplug(shared_from_this());
  else if (answer.reply) bus->deliverReport(shared_from_this(), std::move(*answer.reply), delay, generation);
  return kIOReturnSuccess;
}

void SimulatedAdapter::poke() {
  AdapterSettings s;
  std::uint64_t generation;
  {
    std::lock_guard lock(mutex_);
    if (!plugged_) return;
    s = model_.settings();
    generation = generation_;
  }
  if (auto bus = bus_.lock()) bus->deliverReport(shared_from_this(), adapterReply(s), 0, generation);
}

AdapterSettings SimulatedAdapter::settings() const {
  std::lock_guard lock(mutex_);
  return model_.settings();
}

void SimulatedAdapter::changeSettings(const std::function<void(AdapterSettings&)>& change) {
  std::lock_guard lock(mutex_);
  change(model_.settings());
}

bool SimulatedAdapter::isPlugged() const {
  std::lock_guard lock(mutex_);
  return plugged_;
}

std::vector<ReceivedReport> SimulatedAdapter::received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::size_t SimulatedAdapter::dataReportCount() const {
  std::lock_guard lock(mutex_);
  return static_cast<std::size_t>(std::count_if(received_.begin(), received_.end(), [](const ReceivedReport& r) {
    return r.kind == ReceivedReport::Kind::data;
  }));
}

Data SimulatedAdapter::receivedImage() const {
  std::lock_guard lock(mutex_);
  Data image;
  for (const auto& r : received_) {
    if (r.kind == ReceivedReport::Kind::start) image.clear();
    else if (r.kind == ReceivedReport::Kind::data) image.insert(image.end(), r.bytes.begin(), r.bytes.end());
  }
  return image;
}

bool SimulatedAdapter::waitUntil(const std::function<bool(const std::vector<ReceivedReport>&)>& done,
                                 std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return done(received_); });
}

void SimulatedAdapter::setObserver(std::function<void(const ReceivedReport&)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

void SimulatedAdapter::pluggedIn() {
  std::lock_guard lock(mutex_);
  plugged_ = true;
  ++generation_;
  model_.pluggedIn();
}

void SimulatedAdapter::pulledOut() {
  {
    std::lock_guard lock(mutex_);
    plugged_ = false;
    ++generation_;
  }
  changed_.notify_all();
}

std::uint64_t SimulatedAdapter::generation() const {
  std::lock_guard lock(mutex_);
  return generation_;
}

}  // namespace sim
