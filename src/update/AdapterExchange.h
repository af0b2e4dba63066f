#pragma once
#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AdapterKey.h"
#include "AdapterReports.h"
#include "ExchangeOutlet.h"
#include "FirmwareEntry.h"
#include "Phase.h"
#include "WriteRules.h"
#include "WrittenAdapter.h"
#include "devicelink/HIDMonitorData.h"
#include "devicelink/RFDevice.h"
#include "platform/Data.h"
#include "stateConstants.h"

namespace update {

// The protocol's pacing, in seconds.
struct Pacing {
  static constexpr double adapterCheck = 1.0;  // for a monitor to find the adapter, before the query
  static constexpr double afterStart = 0.5;
  static constexpr double beforePiece = 0.1;
  static constexpr double extra = 0.2;  // after the piece that finds the counter at 16
  static constexpr std::int64_t piecesBeforeExtra = 16;
};

// How long the tool waits for an answer. The protocol has no time-out of its
// own; an adapter that stops answering must not hold the tool for ever.
struct Deadlines {
  double query = 5.0;   // from the query to its reply
  double piece = 10.0;  // from a piece to the reply that releases the next one
};

// The exchange with the adapter: the one owner of the protocol state, the
// adapters attached, the one adapter an update or a lens query talks to, the
// image being written and the entry it belongs to. It has no threads and no
// window: it takes one event at a time and asks its outlet for everything
// else. Every event that does not fit the moment is refused, with its text,
// before anything visible changes.
//
// An update runs: press (the download may start) → image downloaded → 1 s for
// the adapter to be found → query → reply → start report → 0.5 s → for each
// piece 0.1 s, the piece, every 17th piece 0.2 s more → completion. The
// written adapter is then remembered (by port and serial) until it comes
// back: 1 s → query → its version, compared with the one written.
class AdapterExchange {
 public:
  explicit AdapterExchange(ExchangeOutlet& outlet);

  // The update button: true when the entry's image may be downloaded now.
  // With `only`, the update talks to that adapter and no other.
  bool updatePressed(const FirmwareEntry& entry, AdapterKey only = nullptr, WriteRules rules = {});
  void downloadFailed();
  // The image, filled up with zeros, of the entry the press was for.
  void imageDownloaded(std::shared_ptr<const platform::Data> image, const FirmwareEntry& entry);
  void lensPressed(std::uint32_t vendorId, std::uint32_t productId, AdapterKey only = nullptr);
  void adapterConnected(std::shared_ptr<RFDevice> device);
  void adapterGone(AdapterKey device);
  // An adapter of an armed pair was found at `node` but may not be opened;
  // `present` false: it left.
  void adapterDenied(const std::string& node, bool present);
  // `arrived`: when the reply was known to have come from the adapter, where
  // that is known.
  void replyReceived(const platform::Data& reply, AdapterKey from,
                     std::optional<std::chrono::steady_clock::time_point> arrived = std::nullopt);
  // The user stops what runs: a transfer ends as written in part, anything
  // before it as not written; the adapter's lock is given back.
  void stop();
  void pauseOver(std::uint64_t token);
  void deadlineOver(std::uint64_t token);
  void setDeadlines(Deadlines deadlines) { deadlines_ = deadlines; }

  // Whether a monitor was armed for the pair; records it when not.
  bool isInMonitor(std::int64_t vendorId, std::int64_t productId);

  std::int64_t state() const { return state_; }
  Phase phase() const { return phase_; }
  bool isConnected() const { return !adapters_.empty(); }
  // The adapter being talked to; otherwise the one that arrived last.
  std::shared_ptr<RFDevice> connectedDevice() const;
  const std::optional<platform::Data>& rdata() const { return rdata_; }
  const std::shared_ptr<const platform::Data>& bin() const { return bin_; }
  std::int64_t positionofbin() const { return positionofbin_; }
  std::int64_t cnt() const { return cnt_; }
  const std::vector<HIDMonitorData>& pv() const { return pv_; }
  std::vector<std::uint8_t> start_tab() const { return {start_tab_.begin(), start_tab_.end()}; }
  // From the update press to the last piece, or until the update fails.
  bool updateUnderWay() const { return isUpdate(phase_); }
  // From the start report to the last piece.
  bool transferring() const { return isTransfer(phase_); }
  // Whether a pause is running, whose end is awaited.
  bool pausing() const { return isPause(phase_); }
  // A written adapter that came back is being asked for its version.
  bool askingReturned() const { return confirmingPhase(); }
  // Written adapters whose return is awaited.

 private:
  void enter(Phase phase) { phase_ = phase; }
  void pauseFor(double seconds, Phase next, std::optional<std::chrono::steady_clock::time_point> since = std::nullopt);
  void awaitReply(double seconds, Phase next);
  void handleReply(const platform::Data& reply, std::optional<std::chrono::steady_clock::time_point> arrived);
  bool takeTarget(std::shared_ptr<RFDevice> adapter);
  void dropTarget();
  void queryForUpdate();
  void queryForLens();
  std::vector<std::shared_ptr<RFDevice>> adaptersFor(std::uint32_t vendorId, std::uint32_t productId,
                                                     AdapterKey only) const;
  bool refuseSeveral(const std::vector<std::shared_ptr<RFDevice>>& adapters);
  void sayWhyNoAdapter(const char* noAdapterText);
  void showLensId(const platform::Data& reply);
  void versionAndStart(const reports::Version& running);
  bool refusedByRules(const std::array<std::int64_t, 3>& running);
  void takePiece(std::optional<std::chrono::steady_clock::time_point> replyArrived = std::nullopt);
  void sendPiece();
  void afterPiece();
  void finish(Outcome outcome);
  void rememberWritten();
  void forgetWritten(const RFDevice& adapter);
  void noteReturn(const std::shared_ptr<RFDevice>& device);
  bool noteDeparture(AdapterKey device);
  void startConfirmation();
  void queryForConfirm();
  void confirmVersion(const reports::Version& running);
  void endConfirmation(const Confirmation& result);
  void abandonConfirmation(bool stillThere);
  bool confirmingPhase() const { return phase_ == Phase::adapterForConfirm || phase_ == Phase::confirming; }
  void endUpdate(const char* text, Outcome outcome);
  void endTransfer(const char* text, Outcome outcome);
  void replayDeferredReplies();

  ExchangeOutlet& outlet_;
  Phase phase_ = Phase::idle;
  std::int64_t state_ = stateConstants::stEmpty;
  // The adapter whose last write ended before its last piece, until it leaves
  // or is written again.
  AdapterKey halfWritten_ = nullptr;
  std::vector<std::shared_ptr<RFDevice>> adapters_;  // in the order they arrived
  std::shared_ptr<RFDevice> target_;                 // the adapter asked, until its exchange ends
  AdapterKey only_ = nullptr;                        // an adapter chosen by the caller
  WriteRules rules_;                                 // of the update pressed last
  struct {
    std::uint32_t vendorId = 0, productId = 0;
  } lensIds_;  // the entry of the last lens press
  std::optional<platform::Data> rdata_;
  std::array<std::uint8_t, 9> start_tab_;
  std::vector<HIDMonitorData> pv_;
  std::shared_ptr<const platform::Data> bin_;
  FirmwareEntry binEntry_;
  std::shared_ptr<const platform::Data> transferImage_;  // a running transfer's image, whatever comes later
  std::int64_t positionofbin_ = 0;
  std::int64_t cnt_ = 0;

  std::optional<std::string> deniedNode_;  // an adapter is there, but may not be opened
  std::uint64_t pauseToken_ = 0;
  std::uint64_t deadlineToken_ = 0;
  std::chrono::steady_clock::time_point pieceSentAt_{};
  Deadlines deadlines_;
  // The target's replies that arrive while a protocol pause runs wait for its
  // end, as they would on an adapter link that is busy sleeping.
  std::deque<platform::Data> deferred_;
  // Adapters written to the end, in the order they were; the one being
  // asked after its return is out of the list until it answers.
  std::vector<WrittenAdapter> written_;
  std::optional<WrittenAdapter> confirming_;
};

}  // namespace update
