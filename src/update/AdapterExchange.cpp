#include "AdapterExchange.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "AdapterReports.h"
#include "ExchangeTexts.h"
#include "platform/Formatted.h"

namespace update {
namespace {

using platform::formatted;

bool send(const std::shared_ptr<RFDevice>& device, const std::uint8_t* bytes, std::size_t n) {
  return device && device->write(bytes, n);
}

std::string nodesOf(const std::vector<std::shared_ptr<RFDevice>>& adapters) {
  std::string nodes;
  for (const auto& a : adapters) nodes += (nodes.empty() ? "" : "，") + a->deviceInfo.node;
  return nodes;
}

}  // namespace

AdapterExchange::AdapterExchange(ExchangeOutlet& outlet) : outlet_(outlet), start_tab_(reports::kStartTemplate) {}

std::shared_ptr<RFDevice> AdapterExchange::connectedDevice() const {
  if (target_) return target_;
  return adapters_.empty() ? nullptr : adapters_.back();
}

// From its query to its end an exchange is its adapter's one writer: another
// process's query or start report among the pieces would leave the image
// interleaved, and its reply would be taken for this exchange's own.
bool AdapterExchange::takeTarget(std::shared_ptr<RFDevice> adapter) {
  if (!adapter->claim()) {
    state_ = stateConstants::stEmpty;
    outlet_.status(texts::adapterBusy);
    finish(Outcome::busy);
    return false;
  }
  target_ = std::move(adapter);
  outlet_.talkingTo(keyOf(*target_));
  return true;
}

void AdapterExchange::dropTarget() {
  if (target_) target_->release();
  target_.reset();
}

bool AdapterExchange::isInMonitor(std::int64_t vendorId, std::int64_t productId) {
  for (const auto& pair : pv_)
    if (pair.vendorId == vendorId && pair.productId == productId) return true;
  pv_.emplace_back(vendorId, productId);
  return false;
}

void AdapterExchange::pauseFor(double seconds, Phase next, std::optional<std::chrono::steady_clock::time_point> since) {
  enter(next);
  if (since) outlet_.pauseFrom(seconds, ++pauseToken_, *since);
  else outlet_.pause(seconds, ++pauseToken_);
}

void AdapterExchange::awaitReply(double seconds, Phase next) {
  enter(next);
  outlet_.deadline(seconds, ++deadlineToken_);
}

std::vector<std::shared_ptr<RFDevice>> AdapterExchange::adaptersFor(std::uint32_t vendorId, std::uint32_t productId,
                                                                    AdapterKey only) const {
  std::vector<std::shared_ptr<RFDevice>> found;
  for (const auto& a : adapters_)
    if (a->deviceInfo.vendorId == vendorId && a->deviceInfo.productId == productId && (!only || keyOf(*a) == only))
      found.push_back(a);
  return found;
}

// Which of two adapters of one kind the user means is not known: writing
// either could brick the one that was meant to stay as it is.
bool AdapterExchange::refuseSeveral(const std::vector<std::shared_ptr<RFDevice>>& adapters) {
  if (adapters.size() < 2) return false;
  outlet_.status(formatted(texts::severalAdapters, nodesOf(adapters).c_str()));
  finish(Outcome::severalAdapters);
  return true;
}

bool AdapterExchange::updatePressed(const FirmwareEntry& entry, AdapterKey only, WriteRules rules) {
  if (updateUnderWay()) {
    outlet_.status(texts::busyForUpdate);
    return false;
  }
  if (!entry.versionFitsTheStartReport()) {
    outlet_.status(texts::versionOutOfRange);
    finish(Outcome::versionOutOfRange);
    return false;
  }
  if (refuseSeveral(adaptersFor(entry.vendorId, entry.productId, only))) return false;
  // A lens query or a confirmation still under way gives way to the update.
  abandonConfirmation(true);
  dropTarget();
  ++deadlineToken_;
  only_ = only;
  rules_ = rules;
  enter(Phase::downloading);
  return true;
}

void AdapterExchange::downloadFailed() {
  if (phase_ == Phase::downloading) enter(Phase::idle);
}

void AdapterExchange::imageDownloaded(std::shared_ptr<const platform::Data> image, const FirmwareEntry& entry) {
  if (phase_ != Phase::downloading && phase_ != Phase::idle && phase_ != Phase::lensQuerying) {
    outlet_.status(texts::busyForUpdate);
    return;
  }
  dropTarget();
  bin_ = std::move(image);
  binEntry_ = entry;
  if (!isInMonitor(entry.vendorId, entry.productId)) {
    state_ = stateConstants::stStartWriteData;
    outlet_.arm(entry.vendorId, entry.productId);
  }
  pauseFor(Pacing::adapterCheck, Phase::adapterForUpdate);
}

void AdapterExchange::lensPressed(std::uint32_t vendorId, std::uint32_t productId, AdapterKey only) {
  // Asking for the lens now would put a query among the pieces.
  if (updateUnderWay()) {
    outlet_.status(texts::busyForLens);
    return;
  }
  // A press while the last one waits for its adapter takes its place: one
  // query goes out, for the entry chosen last.
  if (!isInMonitor(vendorId, productId)) outlet_.arm(vendorId, productId);
  state_ = stateConstants::stCheck;
  abandonConfirmation(true);
  dropTarget();
  ++deadlineToken_;
  only_ = only;
  lensIds_ = {vendorId, productId};
  pauseFor(Pacing::adapterCheck, Phase::adapterForLens);
}

void AdapterExchange::adapterConnected(std::shared_ptr<RFDevice> device) {
  if (!device) return;
  std::erase_if(adapters_, [&](const auto& a) { return keyOf(*a) == keyOf(*device); });
  adapters_.push_back(device);
  if (state_ == stateConstants::stStartWriteData) outlet_.status(texts::connectedAppend);
  else if (state_ == stateConstants::stCheck) outlet_.status(texts::connected);
  noteReturn(device);
}

// Only the departure of the adapter being talked to ends what runs; another
// adapter coming or going meanwhile changes nothing of it.
void AdapterExchange::adapterGone(AdapterKey device) {
  const bool wasConfirming = noteDeparture(device);
  const auto before = adapters_.size();
  std::erase_if(adapters_, [&](const auto& a) { return keyOf(*a) == device; });
  if (adapters_.size() == before) return;
  const bool wasTarget = target_ && keyOf(*target_) == device;
  if (target_ && !wasTarget) return;
  const bool wasTransferring = transferring();
  state_ = stateConstants::stEmpty;
  if (wasTarget || wasConfirming) {
    dropTarget();
    ++deadlineToken_;
    deferred_.clear();
    enter(Phase::idle);  // a pause's end then finds nothing to do
  }
  outlet_.status(texts::disconnected);
  // A half-written adapter does not start: its owner must know to write it
  // again, also when a piece that could not go out ended the write first.
  if (wasTransferring || device == halfWritten_) outlet_.status(texts::leftMidWrite);
  if (device == halfWritten_) halfWritten_ = nullptr;
  if (wasTransferring) outlet_.keepAwake(false);
  if (wasTarget && !wasConfirming) finish(Outcome::left);
  startConfirmation();
}

void AdapterExchange::stop() {
  if (confirmingPhase()) {
    abandonConfirmation(false);
    dropTarget();
    ++deadlineToken_;
    enter(Phase::idle);
  } else if (transferring()) endTransfer(texts::stoppedWhileWriting, Outcome::interrupted);
  else if (phase_ != Phase::idle) endUpdate(texts::stoppedBeforeWriting, Outcome::interrupted);
}

void AdapterExchange::adapterDenied(const std::string& node, bool present) {
  if (!present) {
    if (deniedNode_ == node) deniedNode_.reset();
    return;
  }
  deniedNode_ = node;
  outlet_.status(formatted(texts::accessDenied, node.c_str()));
}

// The adapter may be there without being usable: then that is what is said.
void AdapterExchange::sayWhyNoAdapter(const char* noAdapterText) {
  if (deniedNode_) outlet_.status(formatted(texts::accessDenied, deniedNode_->c_str()));
  else outlet_.status(noAdapterText);
  finish(deniedNode_ ? Outcome::denied : Outcome::noAdapter);
}

// A report counts as an answer only when it comes from the adapter that was
// asked, after the request went out. Any other is kept and changes nothing:
// an adapter's own report (a lens changed), a late acknowledgement, or a
// second adapter's reply must not start, feed or end an exchange.
void AdapterExchange::replyReceived(const platform::Data& reply, AdapterKey from,
                                    std::optional<std::chrono::steady_clock::time_point> arrived) {
  // The target is there only while its answer is awaited.
  if (!target_ || keyOf(*target_) != from) {
    rdata_ = reply;
    return;
  }
  if (isProtocolPause(phase_)) {
    deferred_.push_back(reply);
    return;
  }
  handleReply(reply, arrived);
}

void AdapterExchange::handleReply(const platform::Data& reply,
                                  std::optional<std::chrono::steady_clock::time_point> arrived) {
  rdata_ = reply;
  if (phase_ == Phase::lensQuerying) {
    if (reports::lensIdIn(reply)) showLensId(reply);
  } else if (phase_ == Phase::querying) {
    if (const auto running = reports::versionIn(reply)) versionAndStart(*running);
  } else if (phase_ == Phase::awaitingPiece) {
    takePiece(arrived);
  } else if (phase_ == Phase::confirming) {
    if (const auto running = reports::versionIn(reply)) confirmVersion(*running);
  }
}

void AdapterExchange::pauseOver(std::uint64_t token) {
  if (token == pauseToken_ && phase_ == Phase::adapterForConfirm) return queryForConfirm();
  if (token != pauseToken_ || !isPause(phase_)) return;
  switch (phase_) {
    case Phase::adapterForUpdate: queryForUpdate(); break;
    case Phase::adapterForLens: queryForLens(); break;
    case Phase::afterStart:
      state_ = stateConstants::stGetResponseOfStartWriteData;
      positionofbin_ = 0;
      takePiece();
      break;
    case Phase::beforePiece: sendPiece(); break;
    case Phase::extraPause: afterPiece(); break;
    default: break;
  }
  replayDeferredReplies();
}

void AdapterExchange::deadlineOver(std::uint64_t token) {
  if (token != deadlineToken_) return;
  switch (phase_) {
    case Phase::querying: endUpdate(texts::queryUnanswered, Outcome::silent); break;
    case Phase::lensQuerying: endUpdate(texts::lensUnanswered, Outcome::silent); break;
    case Phase::awaitingPiece: endTransfer(texts::pieceUnanswered, Outcome::silent); break;
    case Phase::confirming:
      endConfirmation({Reseat::unanswered, confirming_->port, confirming_->version, std::nullopt});
      break;
    default: break;
  }
}

void AdapterExchange::replayDeferredReplies() {
  while (!isProtocolPause(phase_) && !deferred_.empty()) {
    const platform::Data reply = std::move(deferred_.front());
    deferred_.pop_front();
    handleReply(reply, std::nullopt);  // its pause runs from now, after the one it waited for
  }
}

void AdapterExchange::queryForUpdate() {
  enter(Phase::idle);
  const auto fitting = adaptersFor(binEntry_.vendorId, binEntry_.productId, only_);
  const bool chosenIsGone =
      only_ && std::none_of(adapters_.begin(), adapters_.end(), [&](const auto& a) { return keyOf(*a) == only_; });
  if (fitting.empty()) {
    if (isConnected() && !chosenIsGone) {
      outlet_.status(texts::mismatch);
      finish(Outcome::mismatch);
    } else {
      sayWhyNoAdapter(texts::noDevice);
    }
    return;
  }
  if (refuseSeveral(fitting)) return;
  if (!takeTarget(fitting.front())) return;
  state_ = stateConstants::stStartWriteData;
  if (!send(target_, reports::kQuery.data(), reports::kQuery.size())) {
    endUpdate(texts::writeFailed, Outcome::writeFailed);
    return;
  }
  awaitReply(deadlines_.query, Phase::querying);
}

// The lens query goes to the one adapter there is; among several, to the one
// of the chosen entry's ids.
void AdapterExchange::queryForLens() {
  enter(Phase::idle);
  auto fitting = only_ ? adaptersFor(lensIds_.vendorId, lensIds_.productId, nullptr) : adapters_;
  if (only_) std::erase_if(fitting, [&](const auto& a) { return keyOf(*a) != only_; });
  if (!only_ && fitting.size() > 1) fitting = adaptersFor(lensIds_.vendorId, lensIds_.productId, nullptr);
  if (!only_ && fitting.empty() && !adapters_.empty()) fitting = {adapters_.back()};
  if (fitting.empty()) {
    sayWhyNoAdapter(texts::noDeviceForLens);
    return;
  }
  if (fitting.size() > 1) {
    outlet_.status(formatted(texts::severalAdaptersForLens, nodesOf(fitting).c_str()));
    finish(Outcome::severalAdapters);
    return;
  }
  if (!takeTarget(fitting.front())) return;
  send(target_, reports::kQuery.data(), reports::kQuery.size());
  awaitReply(deadlines_.query, Phase::lensQuerying);
}

void AdapterExchange::showLensId(const platform::Data& reply) {
  const unsigned lens = reports::lensIdIn(reply).value_or(0);
  std::string text = formatted(texts::lensId, lens);
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return c < 0x80 ? static_cast<char>(std::toupper(c)) : static_cast<char>(c); });
  dropTarget();
  ++deadlineToken_;
  enter(Phase::idle);
  outlet_.status(text);
  outlet_.lensRead(static_cast<std::uint16_t>(lens), reports::versionIn(reply).value_or(reports::Version{}));
  finish(Outcome::lensShown);
}

// The reply to the query before an update. It is refused, and nothing is
// shown of a transfer, when the adapter is not the one the image's entry is
// for, or when the entry's version does not fit the start report.
void AdapterExchange::versionAndStart(const reports::Version& running) {
  if (!bin_) return;
  ++deadlineToken_;
  if (target_->deviceInfo.vendorId != binEntry_.vendorId || target_->deviceInfo.productId != binEntry_.productId) {
    endUpdate(texts::mismatch, Outcome::mismatch);
    return;
  }
  if (!binEntry_.versionFitsTheStartReport()) {
    endUpdate(texts::versionOutOfRange, Outcome::versionOutOfRange);
    return;
  }
  outlet_.status(formatted(texts::adapterVersion, running[0], running[1], running[2]));
  outlet_.adapterRuns(running);
  if (refusedByRules({running[0], running[1], running[2]})) return;
  outlet_.status(texts::writing);
  outlet_.transferStarted(bin_->size() / reports::kPieceBytes);
  enter(Phase::afterStart);
  transferImage_ = bin_;
  outlet_.keepAwake(true);
  start_tab_ = reports::startReport({static_cast<std::uint8_t>(binEntry_.version[0]),
                                     static_cast<std::uint8_t>(binEntry_.version[1]),
                                     static_cast<std::uint8_t>(binEntry_.version[2])});
  // Once it is written again, what it ran before says nothing of this write.
  forgetWritten(*target_);
  halfWritten_ = nullptr;
  if (!send(target_, start_tab_.data(), start_tab_.size())) {
    endTransfer(texts::writeFailed, Outcome::writeFailed);
    return;
  }
  pauseFor(Pacing::afterStart, Phase::afterStart);
}

// Before anything is written: the adapter may already run the entry's
// version (one more write is minutes and one more chance to brick it), or a
// newer one (which the write would take back).
bool AdapterExchange::refusedByRules(const std::array<std::int64_t, 3>& running) {
  const auto& wanted = binEntry_.version;
  if (running == wanted && !rules_.sameVersion) {
    endUpdate(formatted(texts::alreadyRunning, int(running[0]), int(running[1]), int(running[2])).c_str(),
              Outcome::upToDate);
    return true;
  }
  if (running > wanted && !rules_.olderVersion) {
    endUpdate(formatted(texts::newerOnAdapter, int(running[0]), int(running[1]), int(running[2]), int(wanted[0]),
                        int(wanted[1]), int(wanted[2]))
                  .c_str(),
              Outcome::olderThanAdapter);
    return true;
  }
  return false;
}

// A reply that was already waiting when the piece went out (the monitor had
// it, the exchange not yet) is taken as one that waited for a pause: its own
// pause runs from the piece, never less than 0.1 s after it.
void AdapterExchange::takePiece(std::optional<std::chrono::steady_clock::time_point> replyArrived) {
  if (!transferImage_) return;
  if (replyArrived && *replyArrived < pieceSentAt_) replyArrived = pieceSentAt_;
  const auto& image = *transferImage_;
  const auto at = static_cast<std::size_t>(positionofbin_);
  if (at + reports::kPieceBytes > image.size()) return;
  ++deadlineToken_;
  if (!rdata_) rdata_.emplace();
  rdata_->assign(image.begin() + at, image.begin() + at + reports::kPieceBytes);
  positionofbin_ += reports::kPieceBytes;
  pauseFor(Pacing::beforePiece, Phase::beforePiece, replyArrived);
}

void AdapterExchange::sendPiece() {
  const auto end = static_cast<std::size_t>(positionofbin_);
  pieceSentAt_ = std::chrono::steady_clock::now();
  if (!send(target_, transferImage_->data() + end - reports::kPieceBytes, reports::kPieceBytes)) {
    endTransfer(texts::writeFailed, Outcome::writeFailed);
    return;
  }
  if (cnt_ == Pacing::piecesBeforeExtra) {
    cnt_ = 0;
    pauseFor(Pacing::extra, Phase::extraPause);
    return;
  }
  ++cnt_;
  afterPiece();
}

// No reply is awaited after the last piece: an adapter may restart there.
void AdapterExchange::afterPiece() {
  const auto length = static_cast<std::int64_t>(transferImage_->size());
  const auto piece = static_cast<std::size_t>(reports::kPieceBytes);
  outlet_.pieceSent(static_cast<std::size_t>(positionofbin_) / piece, static_cast<std::size_t>(length) / piece);
  if (positionofbin_ < length) {
    awaitReply(deadlines_.piece, Phase::awaitingPiece);
    return;
  }
  state_ = stateConstants::stEmpty;
  rememberWritten();
  dropTarget();
  enter(Phase::idle);
  outlet_.keepAwake(false);
  outlet_.status(texts::updateDone);
  outlet_.status(texts::removeAdapter);
  finish(Outcome::done);
}

// Whatever ended, a written adapter that came back meanwhile is asked now.
void AdapterExchange::finish(Outcome outcome) {
  outlet_.finished(outcome);
  startConfirmation();
}

// An adapter without port and serial could not be told from another when
// it comes back: it is not remembered.
void AdapterExchange::rememberWritten() {
  const HIDDevice& info = target_->deviceInfo;
  if (info.port.empty() && info.serial.empty()) return;
  forgetWritten(*target_);
  WrittenAdapter written;
  written.vendorId = info.vendorId, written.productId = info.productId;
  written.port = info.port, written.serial = info.serial;
  written.version = *reports::announcedIn(start_tab_.data(), start_tab_.size());
  written.device = target_->deviceInfo.device;
  written_.push_back(std::move(written));
}

void AdapterExchange::forgetWritten(const RFDevice& adapter) {
  std::erase_if(written_, [&](const WrittenAdapter& w) {
    return w.isDevice(keyOf(adapter)) || isTheWrittenAdapter(w, adapter.deviceInfo);
  });
}

// A device that shows again, without having left, is no re-seat: a monitor
// may announce the same adapter twice.
void AdapterExchange::noteReturn(const std::shared_ptr<RFDevice>& device) {
  for (WrittenAdapter& w : written_)
    if (isTheWrittenAdapter(w, device->deviceInfo) && (w.left || !w.isDevice(keyOf(*device)))) w.back = device;
  startConfirmation();
}

// True when it was the one being asked after its return.
bool AdapterExchange::noteDeparture(AdapterKey device) {
  for (WrittenAdapter& w : written_) {
    if (w.isDevice(device)) w.left = true;
    if (w.back && keyOf(*w.back) == device) w.back.reset();
  }
  const bool asked = confirming_ && confirming_->back && keyOf(*confirming_->back) == device;
  if (asked) abandonConfirmation(false);
  return asked;
}

// One exchange at a time: a return during another update or a lens query
// is asked after its end.
void AdapterExchange::startConfirmation() {
  if (phase_ != Phase::idle || target_ || confirming_) return;
  const auto due = std::find_if(written_.begin(), written_.end(), [](const WrittenAdapter& w) { return w.back; });
  if (due == written_.end()) return;
  confirming_ = std::move(*due);
  written_.erase(due);
  pauseFor(Pacing::adapterCheck, Phase::adapterForConfirm);
}

// Another program writing it now is left to it; its return is kept.
void AdapterExchange::queryForConfirm() {
  enter(Phase::idle);
  const auto device = confirming_->back;
  const bool present = device && std::any_of(adapters_.begin(), adapters_.end(),
                                             [&](const auto& a) { return keyOf(*a) == keyOf(*device); });
  if (!present || !device->claim()) {
    abandonConfirmation(false);
    return;
  }
  target_ = device;
  outlet_.talkingTo(keyOf(*target_));
  if (!send(target_, reports::kQuery.data(), reports::kQuery.size())) {
    endConfirmation({Reseat::unanswered, confirming_->port, confirming_->version, std::nullopt});
    return;
  }
  awaitReply(deadlines_.query, Phase::confirming);
}

void AdapterExchange::confirmVersion(const reports::Version& running) {
  const reports::Version written = confirming_->version;
  endConfirmation({running == written ? Reseat::confirmed : Reseat::otherVersion, confirming_->port, written, running});
}

void AdapterExchange::endConfirmation(const Confirmation& result) {
  confirming_.reset();
  dropTarget();
  ++deadlineToken_;
  enter(Phase::idle);
  outlet_.status(textOf(result));
  outlet_.confirmation(result);
  startConfirmation();
}

// What stops a confirmation keeps the adapter in mind. Still there, it is
// asked once the exchange that came first is over; else when it comes back.
void AdapterExchange::abandonConfirmation(bool stillThere) {
  if (!confirming_) return;
  if (!stillThere) confirming_->back.reset();
  confirming_->left = true;
  written_.push_back(std::move(*confirming_));
  confirming_.reset();
  if (confirmingPhase()) enter(Phase::idle);
}

// An update that ends before its transfer began.
void AdapterExchange::endUpdate(const char* text, Outcome outcome) {
  state_ = stateConstants::stEmpty;
  dropTarget();
  ++deadlineToken_;
  enter(Phase::idle);
  outlet_.status(text);
  finish(outcome);
}

// A report that was not taken, or a reply that never came, ends the transfer:
// the adapter is not written to the end, and nothing may say it was.
void AdapterExchange::endTransfer(const char* text, Outcome outcome) {
  const bool was = transferring();
  if (was && target_) halfWritten_ = keyOf(*target_);
  state_ = stateConstants::stEmpty;
  dropTarget();
  ++deadlineToken_;
  deferred_.clear();
  enter(Phase::idle);
  if (was) outlet_.keepAwake(false);
  if (was) outlet_.status(text);
  finish(outcome);
}

}  // namespace update
