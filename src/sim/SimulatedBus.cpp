#include "SimulatedBus.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <queue>

#include "SimulatedAdapter.h"

namespace sim {
using namespace platform;  // the simulator stands in for the platform's devices

using Clock = std::chrono::steady_clock;

struct SimEvent {
  enum class Kind { added, removed, report };
  Clock::time_point due;
  std::uint64_t seq;
  Kind kind;
  std::shared_ptr<SimulatedAdapter> adapter;
  Data bytes;
  std::uint64_t generation = 0;
  bool operator>(const SimEvent& o) const { return due != o.due ? due > o.due : seq > o.seq; }
};

// What the bus hands to one manager's loop.
struct ManagerInbox {
  std::mutex mutex;
  std::condition_variable wake;
  std::priority_queue<SimEvent, std::vector<SimEvent>, std::greater<>> events;
  std::uint64_t seq = 0;
  std::vector<HIDMatching> matching;

  bool matches(const SimulatedAdapter& a) const {
    const auto s = a.settings();
    return std::any_of(matching.begin(), matching.end(), [&](const HIDMatching& m) {
      auto v = m.find("VendorID"), p = m.find("ProductID");
      return v != m.end() && p != m.end() && v->second == s.vendorId && p->second == s.productId;
    });
  }
  void push(SimEvent e) {
    {
      std::lock_guard lock(mutex);
      e.seq = seq++;
      events.push(std::move(e));
    }
    wake.notify_one();
  }
};

namespace {

class SimulatedManager : public HIDManager {
 public:
  explicit SimulatedManager(std::shared_ptr<SimulatedBus> bus)
      : bus_(std::move(bus)), inbox_(std::make_shared<ManagerInbox>()) {}

  void setDeviceMatchingMultiple(const std::vector<HIDMatching>& matching) override { inbox_->matching = matching; }
  int open() override { return kIOReturnSuccess; }
  void registerDeviceMatchingCallback(HIDDeviceCallback cb) override { added_ = std::move(cb); }
  void registerDeviceRemovalCallback(HIDDeviceCallback cb) override { removed_ = std::move(cb); }
  void registerAccessDeniedCallback(std::function<void(const std::string&, bool)> cb) override {
    denied_ = std::move(cb);
  }
  void registerInputReportCallback(const IOHIDDeviceRef& device, std::uint8_t* buffer, std::int64_t length,
                                   HIDReportCallback cb) override {
    readers_[device.get()] = Reader{buffer, length, std::move(cb)};
  }

  [[noreturn]] void runLoop() override {
    bus_->attach(inbox_);
    for (;;) handle(next());
  }

 private:
  struct Reader {
    std::uint8_t* buffer;
    std::int64_t length;
    HIDReportCallback callback;
  };

  SimEvent next() {
    std::unique_lock lock(inbox_->mutex);
    for (;;) {
      if (inbox_->events.empty()) {
        inbox_->wake.wait(lock);
        continue;
      }
      const auto due = inbox_->events.top().due;
      if (Clock::now() >= due) break;
      inbox_->wake.wait_until(lock, due);
    }
    SimEvent e = inbox_->events.top();
    inbox_->events.pop();
    return e;
  }

  void handle(const SimEvent& e) {
    void* sender = this;
    switch (e.kind) {
      case SimEvent::Kind::added:
        if (attached_.count(e.adapter.get())) return;
        attached_[e.adapter.get()] = e.adapter;
        // An adapter whose node the user may not open is announced as such, like hidraw does.
        if (e.adapter->settings().accessDenied) {
          if (denied_) denied_(kSimulatedNode, true);
        } else if (added_) {
          added_(kIOReturnSuccess, sender, e.adapter);
        }
        break;
      case SimEvent::Kind::removed:
        if (!attached_.erase(e.adapter.get())) return;
        if (e.adapter->settings().accessDenied) {
          if (denied_) denied_(kSimulatedNode, false);
          return;
        }
        readers_.erase(e.adapter.get());
        if (removed_) removed_(kIOReturnSuccess, sender, e.adapter);
        break;
      case SimEvent::Kind::report: deliver(e); break;
    }
  }

  // Like a read() on hidraw: a report longer than the buffer is cut short. It
  // arrived when it was due on the bus, however late this thread woke for it.
  void deliver(const SimEvent& e) {
    auto it = readers_.find(e.adapter.get());
    if (it == readers_.end() || e.adapter->generation() != e.generation) return;
    const auto n = std::min<std::int64_t>(static_cast<std::int64_t>(e.bytes.size()), it->second.length);
    std::copy(e.bytes.begin(), e.bytes.begin() + n, it->second.buffer);
    it->second.callback(kIOReturnSuccess, this, kIOHIDReportTypeInput, 0, it->second.buffer, n, e.due);
  }

  std::shared_ptr<SimulatedBus> bus_;
  std::shared_ptr<ManagerInbox> inbox_;
  HIDDeviceCallback added_, removed_;
  std::function<void(const std::string&, bool)> denied_;
  static constexpr const char* kSimulatedNode = "/dev/hidraw-sim";
  std::map<HIDPlatformDevice*, Reader> readers_;
  std::map<HIDPlatformDevice*, std::shared_ptr<SimulatedAdapter>> attached_;
};

SimEvent event(SimEvent::Kind kind, std::shared_ptr<SimulatedAdapter> adapter, double delay = 0) {
  return SimEvent{Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(delay)),
                  0,
                  kind,
                  std::move(adapter),
                  {},
                  0};
}

}  // namespace

std::shared_ptr<SimulatedBus> SimulatedBus::create() { return std::shared_ptr<SimulatedBus>(new SimulatedBus); }

void SimulatedBus::install() {
  auto self = shared_from_this();
  setHIDManagerFactory([self] { return self->createManager(); });
}

std::unique_ptr<HIDManager> SimulatedBus::createManager() {
  return std::make_unique<SimulatedManager>(shared_from_this());
}

std::shared_ptr<SimulatedAdapter> SimulatedBus::plug(const AdapterSettings& settings) {
  auto adapter = std::make_shared<SimulatedAdapter>(weak_from_this(), settings);
  plug(adapter);
  return adapter;
}

void SimulatedBus::plug(const std::shared_ptr<SimulatedAdapter>& adapter) {
  std::lock_guard lock(mutex_);
  if (std::find(plugged_.begin(), plugged_.end(), adapter) != plugged_.end()) return;
  adapter->pluggedIn();
  plugged_.push_back(adapter);
  for (auto& weak : inboxes_)
    if (auto inbox = weak.lock(); inbox && inbox->matches(*adapter)) inbox->push(event(SimEvent::Kind::added, adapter));
}

void SimulatedBus::unplug(const std::shared_ptr<SimulatedAdapter>& adapter) {
  std::lock_guard lock(mutex_);
  auto it = std::find(plugged_.begin(), plugged_.end(), adapter);
  if (it == plugged_.end()) return;
  plugged_.erase(it);
  adapter->pulledOut();
  for (auto& weak : inboxes_)
    if (auto inbox = weak.lock(); inbox && inbox->matches(*adapter))
      inbox->push(event(SimEvent::Kind::removed, adapter));
}

void SimulatedBus::deliverReport(const std::shared_ptr<SimulatedAdapter>& adapter, Data report, double delaySeconds,
                                 std::uint64_t generation) {
  std::lock_guard lock(mutex_);
  for (auto& weak : inboxes_) {
    auto inbox = weak.lock();
    if (!inbox || !inbox->matches(*adapter)) continue;
    SimEvent e = event(SimEvent::Kind::report, adapter, delaySeconds);
    e.bytes = report;
    e.generation = generation;
    inbox->push(std::move(e));
  }
}

void SimulatedBus::attach(const std::shared_ptr<ManagerInbox>& inbox) {
  std::lock_guard lock(mutex_);
  inboxes_.push_back(inbox);
  for (auto& adapter : plugged_)
    if (inbox->matches(*adapter)) inbox->push(event(SimEvent::Kind::added, adapter));
}

}  // namespace sim
