#pragma once
#include <cstdint>
#include <string_view>

#include "AdapterKey.h"
#include "AdapterReports.h"
#include "Phase.h"
#include "WrittenAdapter.h"

namespace update {

// What happened in the exchange, in the order it happened. The window turns
// it into changes of its view, the command line into its lines and events;
// each takes what it needs, and the rest is nothing to it.
class ExchangeEvents {
 public:
  virtual ~ExchangeEvents() = default;
  // A text for the status line: one that begins with "\r\n" is appended to
  // it (see appendsToTheLine), any other replaces it.
  virtual void status(std::string_view text) { (void)text; }
  // The adapter about to be asked: its replies are the ones that count.
  virtual void talkingTo(AdapterKey device) { (void)device; }
  // The version the adapter runs, from its reply to the query.
  virtual void adapterRuns(const reports::Version& version) { (void)version; }
  // The start report is about to go out, for an image of `pieces` pieces.
  virtual void transferStarted(std::size_t pieces) { (void)pieces; }
  // Piece `piece` of `pieces` went out (the last one is piece == pieces).
  virtual void pieceSent(std::size_t piece, std::size_t pieces) { (void)piece, (void)pieces; }
  // From the start report to the end of the transfer, however it ends, the
  // system must not sleep: a half-written adapter does not start again.
  virtual void keepAwake(bool awake) { (void)awake; }
  // The adapter's reply to a lens query: its lens and its own version.
  virtual void lensRead(std::uint16_t lensId, const reports::Version& version) { (void)lensId, (void)version; }
  // An update or a lens query is over, and how.
  virtual void finished(Outcome outcome) { (void)outcome; }
  // A written adapter's answer after it came back.
  virtual void confirmation(const Confirmation& confirmation) { (void)confirmation; }
};

// Whether a status text is appended to the line rather than replacing it,
// and the text without that mark.
inline bool appendsToTheLine(std::string_view text) { return text.substr(0, 2) == "\r\n"; }
inline std::string_view lineOf(std::string_view text) { return appendsToTheLine(text) ? text.substr(2) : text; }

}  // namespace update
