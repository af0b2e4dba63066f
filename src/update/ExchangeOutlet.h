#pragma once
#include <chrono>
#include <cstdint>
#include <string_view>

#include "AdapterReports.h"
#include "Phase.h"
#include "WrittenAdapter.h"

namespace update {

// What the exchange asks of its surroundings, in the order it asks. Reports
// go to the adapter directly; everything else goes through here.
class ExchangeOutlet {
 public:
  virtual ~ExchangeOutlet() = default;
  // Calls AdapterExchange::pauseOver(token) once `seconds` have passed.
  virtual void pause(double seconds, std::uint64_t token) = 0;
  // The same, counted from `since`: a pause that an adapter's reply starts
  // begins when the reply was read, not when the exchange came to it.
  virtual void pauseFrom(double seconds, std::uint64_t token, std::chrono::steady_clock::time_point since) {
    (void)since;
    pause(seconds, token);
  }
  // Calls AdapterExchange::deadlineOver(token) once `seconds` have passed,
  // unless another deadline is asked for first: one deadline runs at a time.
  virtual void deadline(double seconds, std::uint64_t token) = 0;
  // Starts watching for adapters with these ids, for good.
  virtual void arm(std::int64_t vendorId, std::int64_t productId) = 0;
  // A text that begins with "\r\n" is appended; any other replaces the line.
  virtual void status(std::string_view text) = 0;
  virtual void progressShown(bool shown) = 0;
  virtual void progress(double percent) = 0;
  virtual void updateButtonEnabled(bool enabled) = 0;
  virtual void tableEnabled(bool enabled) = 0;
  // From the start report to the end of the transfer, however it ends, the
  // system must not sleep: a half-written adapter does not start again.
  virtual void keepAwake(bool awake) = 0;
  // An update or a lens query is over, and how.
  virtual void finished(Outcome) {}
  // Events for outlets that act on what happened rather than on the view:
  // the adapter about to be asked (its replies are the ones that count),
  // the version it runs, piece n of N gone out, and a written adapter's
  // answer after it came back.
  virtual void talkingTo(AdapterKey device) { (void)device; }
  virtual void adapterRuns(const reports::Version& version) { (void)version; }
  virtual void pieceSent(std::size_t piece, std::size_t pieces) { (void)piece, (void)pieces; }
  virtual void confirmation(const Confirmation& confirmation) { (void)confirmation; }
};

}  // namespace update
