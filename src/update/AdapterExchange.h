#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <optional>
#include <vector>

#include "ExchangeOutlet.h"
#include "FirmwareEntry.h"
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
  static constexpr double extra = 0.2;         // after the piece that finds the counter at 16
  static constexpr std::int64_t piecesBeforeExtra = 16;
};

// The exchange with the adapter: the one owner of the protocol state, the
// link to the connected adapter, the image being written and the entry it
// belongs to. It has no threads and no window: it takes one event at a time
// and asks its outlet for everything else. Every event that does not fit the
// moment is refused, with its text, before anything visible changes.
//
// An update runs: press (the download may start) → image downloaded → 1 s for
// the adapter to be found → query → reply → start report → 0.5 s → for each
// piece 0.1 s, the piece, every 17th piece 0.2 s more → completion.
class AdapterExchange {
 public:
  explicit AdapterExchange(ExchangeOutlet& outlet);

  // The update button: true when the entry's image may be downloaded now.
  bool updatePressed(const FirmwareEntry& entry);
  void downloadFailed();
  // The image, filled up with zeros, of the entry the press was for.
  void imageDownloaded(std::shared_ptr<const platform::Data> image, const FirmwareEntry& entry);
  void lensPressed(std::uint32_t vendorId, std::uint32_t productId);
  void adapterConnected(std::shared_ptr<RFDevice> device);
  void adapterGone();
  // An adapter of an armed pair was found at `node` but may not be opened;
  // `present` false: it left.
  void adapterDenied(const std::string& node, bool present);
  void replyReceived(const platform::Data& reply);
  void pauseOver(std::uint64_t token);

  // Whether a monitor was armed for the pair; records it when not.
  bool isInMonitor(std::int64_t vendorId, std::int64_t productId);

  std::int64_t state() const { return state_; }
  bool isConnected() const { return isConnected_; }
  const std::shared_ptr<RFDevice>& connectedDevice() const { return connectedDevice_; }
  const std::optional<platform::Data>& rdata() const { return rdata_; }
  const std::shared_ptr<const platform::Data>& bin() const { return bin_; }
  std::int64_t positionofbin() const { return positionofbin_; }
  std::int64_t cnt() const { return cnt_; }
  const std::vector<HIDMonitorData>& pv() const { return pv_; }
  std::vector<std::uint8_t> start_tab() const { return {start_tab_.begin(), start_tab_.end()}; }
  // From the update press to the last piece, or until the update fails.
  bool updateUnderWay() const;
  bool downloadUnderWay() const { return downloading_; }
  // Whether a pause is running, whose end is awaited.
  bool pausing() const { return waiting_ != Waiting::nothing; }

 private:
  enum class Waiting { nothing, adapterForUpdate, adapterForLens, afterStart, beforePiece, extraPause };

  void pauseFor(double seconds, Waiting next);
  bool inProtocolPause() const;
  void handleReply(const platform::Data& reply);
  void queryForUpdate();
  void queryForLens();
  void sayWhyNoAdapter(const char* noAdapterText);
  void showLensId(const platform::Data& reply);
  void versionAndStart(const platform::Data& reply);
  bool adapterFitsTheImage() const;
  void takePiece();
  void sendPiece();
  void afterPiece();
  void endTransfer(const char* text);
  void replayDeferredReplies();

  ExchangeOutlet& outlet_;
  std::int64_t state_ = stateConstants::stEmpty;
  std::shared_ptr<RFDevice> connectedDevice_;
  bool isConnected_ = false;
  std::optional<platform::Data> rdata_;
  std::array<std::uint8_t, 9> start_tab_;
  std::vector<HIDMonitorData> pv_;
  std::shared_ptr<const platform::Data> bin_;
  FirmwareEntry binEntry_;
  std::shared_ptr<const platform::Data> transferImage_;  // a running transfer's image, whatever comes later
  std::int64_t positionofbin_ = 0;
  std::int64_t cnt_ = 0;

  bool downloading_ = false;
  bool queryOutstanding_ = false;  // the query before an update went out, its reply has not come
  bool transferring_ = false;      // from the start report to the last piece
  std::optional<std::string> deniedNode_;  // an adapter is there, but may not be opened
  Waiting waiting_ = Waiting::nothing;
  std::uint64_t pauseToken_ = 0;
  // Replies that arrive while a protocol pause runs wait for its end, as they
  // would on an adapter link that is busy sleeping.
  std::deque<platform::Data> deferred_;
};

}  // namespace update
