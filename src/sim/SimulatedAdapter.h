#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "AdapterModel.h"
#include "AdapterSettings.h"
#include "platform/Data.h"
#include "platform/HIDPlatform.h"

namespace sim {

class SimulatedBus;

// An adapter on the simulated bus: its model answers, this records every
// report it receives and hands the answers to the bus.
class SimulatedAdapter : public platform::HIDPlatformDevice, public std::enable_shared_from_this<SimulatedAdapter> {
 public:
  SimulatedAdapter(std::weak_ptr<SimulatedBus> bus, AdapterSettings settings);

  platform::HIDProperty property(const std::string& key) const override;
  int setReport(int reportType, std::uint32_t reportId, const std::uint8_t* report, std::int64_t length) override;

  AdapterSettings settings() const;
  // Turns some knobs, leaving the others as they are.
  void changeSettings(const std::function<void(AdapterSettings&)>& change);
  bool isPlugged() const;
  std::vector<ReceivedReport> received() const;
  std::size_t dataReportCount() const;
  // The data reports since the last start report, joined.
  platform::Data receivedImage() const;
  // Waits until the predicate over the received reports holds.
  bool waitUntil(const std::function<bool(const std::vector<ReceivedReport>&)>& done,
                 std::chrono::milliseconds timeout) const;
  void setObserver(std::function<void(const ReceivedReport&)> observer);
  // Sends one report of its own, as an adapter does when a lens is changed.
  void poke();

  // Called by the bus.
  void pluggedIn();
  void pulledOut();
  std::uint64_t generation() const;

 private:
  std::weak_ptr<SimulatedBus> bus_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  AdapterModel model_;
  bool plugged_ = false;
  std::uint64_t generation_ = 0;
  std::vector<ReceivedReport> received_;
  std::function<void(const ReceivedReport&)> observer_;
};

}  // namespace sim
