#pragma once
// An adapter's end of the link for the engine's tests, its fuzzer and its
// benchmark: the properties a hidraw node gives, and each report it is sent,
// recorded or handed on.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/Data.h"
#include "platform/HIDPlatform.h"
#include "update/AdapterReports.h"

class FakeAdapter : public platform::HIDPlatformDevice {
 public:
  using Kind = update::reports::Kind;
  struct Frame {
    int type;
    std::uint32_t id;
  };

  FakeAdapter(std::int64_t vendor, std::int64_t product, std::string devNode = "/dev/hidraw0")
      : vendorId(vendor), productId(product), node(std::move(devNode)) {}

  platform::HIDProperty property(const std::string& key) const override {
    if (key == "MaxInputReportSize" && maxInput) return *maxInput;
    if (key == "DevNode" && !node.empty()) return node;
    if (key == "VendorID") return vendorId;
    if (key == "ProductID") return productId;
    if (key == "PortPath" && !port.empty()) return port;
    if (key == "SerialNumber" && !serial.empty()) return serial;
    return std::monostate{};
  }
  int setReport(int type, std::uint32_t id, const std::uint8_t* r, std::int64_t n) override {
    if (refusesAll) return platform::kIOReturnError;
    if (onReport) return onReport(r, n);
    if (refuseAt && attempts++ == *refuseAt) return platform::kIOReturnError;
    if (!records) return platform::kIOReturnSuccess;
    reports.emplace_back(r, r + n);
    frames.push_back({type, id});
    return platform::kIOReturnSuccess;
  }
  bool claim() override {
    if (heldElsewhere || held) return false;
    return held = true;
  }
  void release() override { held = false; }

  std::vector<Kind> kinds() const {
    std::vector<Kind> k;
    for (const auto& r : reports) k.push_back(update::reports::classify(r.data(), r.size()));
    return k;
  }
  // The data reports since the last start report.
  platform::Data image() const {
    platform::Data joined;
    for (const auto& r : reports) {
      const Kind k = update::reports::classify(r.data(), r.size());
      if (k == Kind::start) joined.clear();
      if (k == Kind::data) joined.insert(joined.end(), r.begin(), r.end());
    }
    return joined;
  }

  std::int64_t vendorId, productId;
  std::string node;
  std::optional<std::int64_t> maxInput = 64;
  std::string port, serial;  // none by default: such an adapter is not known again
  // Takes the place of everything below: the fuzzer's adapter answers through it.
  std::function<int(const std::uint8_t*, std::int64_t)> onReport;
  bool refusesAll = false;              // takes no report at all
  std::optional<std::size_t> refuseAt;  // counted from when it is set: does not take that report, only that one
  bool records = true;                  // a benchmark's adapter keeps nothing
  bool heldElsewhere = false;           // another process writes it
  bool held = false;                    // this exchange is its writer
  std::size_t attempts = 0;
  std::vector<platform::Data> reports;
  std::vector<Frame> frames;  // the report type and id of each
};
