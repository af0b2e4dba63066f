#include "SimulatedAdapter.h"

#include <algorithm>

#include "SimulatedBus.h"
#include "update/AdapterReports.h"

namespace platform::sim {
ReceivedReport::Kind classifyReport(const Data& r) {
  switch (update::reports::classify(r.data(), r.size())) {
    case update::reports::Kind::query: return ReceivedReport::Kind::query;
    case update::reports::Kind::start: return ReceivedReport::Kind::start;
    case update::reports::Kind::data: break;
  }
  return ReceivedReport::Kind::data;
}

const char* kindName(ReceivedReport::Kind kind) {
  switch (kind) {
    case ReceivedReport::Kind::query: return "query";
    case ReceivedReport::Kind::start: return "start";
    case ReceivedReport::Kind::data: return "data";
  }
  return "data";
}

SimulatedAdapter::SimulatedAdapter(std::weak_ptr<SimulatedBus> bus, AdapterSettings settings)
    : bus_(std::move(bus)), settings_(std::move(settings)) {}

HIDProperty SimulatedAdapter::property(const std::string& key) const {
  std::lock_guard lock(mutex_);
  if (key == "VendorID") return settings_.vendorId;
  if (key == "ProductID") return settings_.productId;
  if (key == "Product") return settings_.product;
  if (key == "LocationID") return settings_.locationId;
  if (key == "DevNode") return settings_.node;
  if (key == "MaxInputReportSize" && settings_.maxInputReportSize) return *settings_.maxInputReportSize;
  return std::monostate{};
}

Data adapterReply(const AdapterSettings& s) {
  using namespace update::reports;
  Data reply(std::max<std::size_t>(s.replyLength, kLensReplyBytes), 0);
  std::copy(kCommandPrefix.begin(), kCommandPrefix.end(), reply.begin());
  std::copy(s.version.begin(), s.version.end(), reply.begin() + kReplyVersionAt);
  reply[kReplyLensIdAt] = static_cast<std::uint8_t>(s.lensId >> 8);
  reply[kReplyLensIdAt + 1] = static_cast<std::uint8_t>(s.lensId & 0xFF);
  reply.resize(s.replyLength);
  return reply;
}

int SimulatedAdapter::setReport(int reportType, std::uint32_t, const std::uint8_t* report, std::int64_t length) {
  if (reportType != kIOHIDReportTypeOutput || length < 0) return kIOReturnError;
  ReceivedReport got{ReceivedReport::Kind::data, Data(report, report + length)};
  got.kind = classifyReport(got.bytes);
  bool reply = false, leave = false;
  AdapterSettings s;
  std::uint64_t generation;
  std::function<void(const ReceivedReport&)> observer;
  {
    std::lock_guard lock(mutex_);
    if (!plugged_) return kIOReturnNotAttached;
    if (settings_.refuseKind && static_cast<int>(got.kind) == *settings_.refuseKind) return kIOReturnError;
    s = settings_;
    generation = generation_;
    received_.push_back(got);
    ++reportsSinceStart_;
    if (got.kind == ReceivedReport::Kind::data) ++dataSincePlug_;
    const bool silent = s.silentAfterReports && reportsSinceStart_ > *s.silentAfterReports;
    leave = (got.kind == ReceivedReport::Kind::data && s.unplugAfterDataReports &&
             dataSincePlug_ == *s.unplugAfterDataReports) ||
            (s.unplugAfterReports && reportsSinceStart_ == *s.unplugAfterReports);
    reply = !silent && !leave && got.kind != ReceivedReport::Kind::start;
    observer = observer_;
  }
  changed_.notify_all();
  if (observer) observer(got);
  auto bus = bus_.lock();
  if (!bus) return kIOReturnSuccess;
  if (leave) bus->unplug(shared_from_this());
  else if (reply) bus->deliverReport(shared_from_this(), adapterReply(s), s.replyDelaySeconds, generation);
  return kIOReturnSuccess;
}

void SimulatedAdapter::poke() {
  AdapterSettings s;
  std::uint64_t generation;
  {
    std::lock_guard lock(mutex_);
    if (!plugged_) return;
    s = settings_;
    generation = generation_;
  }
  if (auto bus = bus_.lock()) bus->deliverReport(shared_from_this(), adapterReply(s), 0, generation);
}

AdapterSettings SimulatedAdapter::settings() const {
  std::lock_guard lock(mutex_);
  return settings_;
}

void SimulatedAdapter::setSettings(const AdapterSettings& settings) {
  std::lock_guard lock(mutex_);
  settings_ = settings;
}

void SimulatedAdapter::changeSettings(const std::function<void(AdapterSettings&)>& change) {
  std::lock_guard lock(mutex_);
  change(settings_);
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
  reportsSinceStart_ = 0;
  dataSincePlug_ = 0;
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

}  // namespace platform::sim
