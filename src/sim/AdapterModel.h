#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

#include "AdapterSettings.h"
#include "platform/Data.h"
#include "update/AdapterReports.h"

namespace sim {

struct ReceivedReport {
  enum class Kind { query, start, data };
  Kind kind;
  platform::Data bytes;  // the whole report as sent
};
const char* kindName(ReceivedReport::Kind kind);
// What the adapter takes a report for.
ReceivedReport::Kind classifyReport(const platform::Data& report);
// The report an adapter with these settings answers a query or a data report with.
platform::Data adapterReply(const AdapterSettings& settings);

// What an adapter does with one output report.
struct Answer {
  ReceivedReport::Kind kind = ReceivedReport::Kind::data;
  bool refused = false;                 // not taken: the write fails
  bool leave = false;                   // it pulls out right after taking it
  std::optional<platform::Data> reply;  // the input report it answers with
};

// One adapter's behaviour, whatever carries its reports (the simulated bus or
// an emulated hidraw node): when it answers and what, when it goes quiet,
// refuses or leaves, and which version it runs after a write and a re-seat.
// Not thread-safe: its carrier guards it.
class AdapterModel {
 public:
  explicit AdapterModel(AdapterSettings settings) : settings_(std::move(settings)) {}

  AdapterSettings& settings() { return settings_; }
  const AdapterSettings& settings() const { return settings_; }
  Answer take(const std::uint8_t* report, std::size_t length);
  // It is plugged in: counting starts again, and an image written whole
  // since the last plug runs from now on, unless it keeps its old version.
  void pluggedIn();

 private:
  bool transferWasWhole() const;

  AdapterSettings settings_;
  std::size_t reportsSincePlug_ = 0;
  std::size_t dataSincePlug_ = 0;
  std::optional<update::reports::Version> announced_;  // by the last start report
  std::size_t piecesSinceStart_ = 0;
  bool cutOff_ = false;  // it left in the middle of the transfer
};

}  // namespace sim
