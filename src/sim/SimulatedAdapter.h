#pragma once
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "AdapterSettings.h"
#include "platform/Data.h"
#include "platform/HIDPlatform.h"

namespace platform::sim {

class SimulatedBus;

struct ReceivedReport {
  enum class Kind { query, start, data };
  Kind kind;
  Data bytes;  // the whole report as sent
};
const char* kindName(ReceivedReport::Kind kind);
// What the adapter takes a report for.
ReceivedReport::Kind classifyReport(const Data& report);
// The report an adapter with these settings answers a query or a data report with.
Data adapterReply(const AdapterSettings& settings);

// The adapter's side of the protocol: it answers the query with its version
// and lens id, takes the start report, acknowledges each data report, and
// records every report it receives.
class SimulatedAdapter : public HIDPlatformDevice, public std::enable_shared_from_this<SimulatedAdapter> {
 public:
  SimulatedAdapter(std::weak_ptr<SimulatedBus> bus, AdapterSettings settings);

  HIDProperty property(const std::string& key) const override;
  int setReport(int reportType, std::uint32_t reportId, const std::uint8_t* report, std::int64_t length) override;

  AdapterSettings settings() const;
  void setSettings(const AdapterSettings& settings);
  // Turns some knobs, leaving the others as they are.
  void changeSettings(const std::function<void(AdapterSettings&)>& change);
  bool isPlugged() const;
  std::vector<ReceivedReport> received() const;
  std::size_t dataReportCount() const;
  // The data reports since the last start report, joined.
  Data receivedImage() const;
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
  AdapterSettings settings_;
  bool plugged_ = false;
  std::uint64_t generation_ = 0;
  std::size_t reportsSinceStart_ = 0;  // all reports
  std::size_t dataSincePlug_ = 0;
  std::vector<ReceivedReport> received_;
  std::function<void(const ReceivedReport&)> observer_;
};

}  // namespace platform::sim
