#pragma once
#include <memory>
#include <mutex>
#include <vector>

#include "AdapterSettings.h"
#include "platform/Data.h"
#include "platform/HIDPlatform.h"

namespace sim {

class SimulatedAdapter;
struct ManagerInbox;

// A USB bus with simulated adapters on it. Installed as the source of HID
// managers, it makes the device link see its adapters arrive, leave and reply
// exactly as it sees devices on hidraw.
class SimulatedBus : public std::enable_shared_from_this<SimulatedBus> {
 public:
  static std::shared_ptr<SimulatedBus> create();
  // Makes every HID manager created from now on watch this bus.
  void install();

  std::shared_ptr<SimulatedAdapter> plug(const AdapterSettings& settings);
  void plug(const std::shared_ptr<SimulatedAdapter>& adapter);
  void unplug(const std::shared_ptr<SimulatedAdapter>& adapter);

  std::unique_ptr<platform::HIDManager> createManager();

  // Internal: an input report from an adapter, delivered after `delay`.
  void deliverReport(const std::shared_ptr<SimulatedAdapter>& adapter, platform::Data report, double delaySeconds,
                     std::uint64_t generation);
  // Internal: the manager's loop starts; it gets every matching adapter plugged now.
  void attach(const std::shared_ptr<ManagerInbox>& inbox);

 private:
  SimulatedBus() = default;
  std::mutex mutex_;
  std::vector<std::shared_ptr<SimulatedAdapter>> plugged_;
  std::vector<std::weak_ptr<ManagerInbox>> inboxes_;
};

}  // namespace sim
