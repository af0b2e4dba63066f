#include "AdapterExchange.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>

#include "AdapterReports.h"
#include "ExchangeTexts.h"

namespace update {
namespace {

template <typename... Values>
std::string format(const char* pattern, Values... values) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, values...);
  return text;
}

bool send(const std::shared_ptr<RFDevice>& device, const std::uint8_t* bytes, std::size_t n) {
  return device && device->write(bytes, n);
}

}  // namespace

AdapterExchange::AdapterExchange(ExchangeOutlet& outlet) : outlet_(outlet), start_tab_(reports::kStartTemplate) {}

bool AdapterExchange::updateUnderWay() const {
  return downloading_ || waiting_ == Waiting::adapterForUpdate || queryOutstanding_ || transferring_;
}

bool AdapterExchange::inProtocolPause() const {
  return waiting_ == Waiting::afterStart || waiting_ == Waiting::beforePiece || waiting_ == Waiting::extraPause;
}

bool AdapterExchange::isInMonitor(std::int64_t vendorId, std::int64_t productId) {
  for (const auto& pair : pv_)
    if (pair.vendorId == vendorId && pair.productId == productId) return true;
  pv_.emplace_back(vendorId, productId);
  return false;
}

void AdapterExchange::pauseFor(double seconds, Waiting next) {
  waiting_ = next;
  outlet_.pause(seconds, ++pauseToken_);
}

bool AdapterExchange::updatePressed(const FirmwareEntry& entry) {
  if (updateUnderWay()) {
    outlet_.status(texts::busyForUpdate);
    return false;
  }
  if (!entry.versionFitsTheStartReport()) {
    outlet_.status(texts::versionOutOfRange);
    return false;
  }
  // A lens query still waiting for its adapter gives way to the update.
  if (waiting_ == Waiting::adapterForLens) waiting_ = Waiting::nothing;
  downloading_ = true;
  return true;
}

void AdapterExchange::downloadFailed() { downloading_ = false; }

void AdapterExchange::imageDownloaded(std::shared_ptr<const platform::Data> image, const FirmwareEntry& entry) {
  downloading_ = false;
  if (queryOutstanding_ || transferring_ || waiting_ != Waiting::nothing) {
    outlet_.status(texts::busyForUpdate);
    return;
  }
  bin_ = std::move(image);
  binEntry_ = entry;
  if (!isInMonitor(entry.vendorId, entry.productId)) {
    state_ = stateConstants::stStartWriteData;
    outlet_.arm(entry.vendorId, entry.productId);
  }
  pauseFor(Pacing::adapterCheck, Waiting::adapterForUpdate);
}

void AdapterExchange::lensPressed(std::uint32_t vendorId, std::uint32_t productId) {
  // Asking for the lens now would put a query among the pieces.
  if (updateUnderWay()) {
    outlet_.status(texts::busyForLens);
    return;
  }
  // A press while the last one waits for its adapter takes its place: one
  // query goes out, for the entry chosen last.
  if (!isInMonitor(vendorId, productId)) outlet_.arm(vendorId, productId);
  state_ = stateConstants::stCheck;
  pauseFor(Pacing::adapterCheck, Waiting::adapterForLens);
}

void AdapterExchange::adapterConnected(std::shared_ptr<RFDevice> device) {
  // A second adapter with the same ids arriving mid-transfer must not take
  // over the rest of the image: the pieces keep going where the start went.
  if (!(transferring_ && connectedDevice_)) connectedDevice_ = std::move(device);
  isConnected_ = true;
  if (state_ == stateConstants::stStartWriteData) outlet_.status(texts::connectedAppend);
  else if (state_ == stateConstants::stCheck) outlet_.status(texts::connected);
}

void AdapterExchange::adapterGone() {
  const bool wasTransferring = transferring_;
  connectedDevice_.reset();
  isConnected_ = false;
  state_ = stateConstants::stEmpty;
  queryOutstanding_ = false;
  transferring_ = false;
  if (inProtocolPause()) waiting_ = Waiting::nothing;  // the pause's end finds nothing to do
  deferred_.clear();
  outlet_.status(texts::disconnected);
  // The table is given back so that an entry can be chosen again.
  if (wasTransferring) outlet_.keepAwake(false), outlet_.tableEnabled(true);
}

void AdapterExchange::adapterDenied(const std::string& node, bool present) {
  if (!present) {
    if (deniedNode_ == node) deniedNode_.reset();
    return;
  }
  deniedNode_ = node;
  outlet_.status(format(texts::accessDenied, node.c_str()));
}

// The adapter may be there without being usable: then that is what is said.
void AdapterExchange::sayWhyNoAdapter(const char* noAdapterText) {
  if (deniedNode_) outlet_.status(format(texts::accessDenied, deniedNode_->c_str()));
  else outlet_.status(noAdapterText);
}

void AdapterExchange::replyReceived(const platform::Data& reply) {
  if (inProtocolPause()) {
    deferred_.push_back(reply);
    return;
  }
  handleReply(reply);
}

void AdapterExchange::handleReply(const platform::Data& reply) {
  rdata_ = reply;
  if (state_ == stateConstants::stCheck) {
    if (reply.size() >= reports::kLensReplyBytes) showLensId(reply);
  } else if (state_ == stateConstants::stStartWriteData) {
    if (reply.size() >= reports::kVersionReplyBytes) versionAndStart(reply);
  } else if (state_ == stateConstants::stGetResponseOfStartWriteData) {
    takePiece();
  }
}

void AdapterExchange::pauseOver(std::uint64_t token) {
  if (token != pauseToken_ || waiting_ == Waiting::nothing) return;
  const Waiting was = waiting_;
  waiting_ = Waiting::nothing;
  switch (was) {
    case Waiting::adapterForUpdate: queryForUpdate(); break;
    case Waiting::adapterForLens: queryForLens(); break;
    case Waiting::afterStart:
      state_ = stateConstants::stGetResponseOfStartWriteData;
      positionofbin_ = 0;
      takePiece();
      break;
    case Waiting::beforePiece: sendPiece(); break;
    case Waiting::extraPause: afterPiece(); break;
    case Waiting::nothing: break;
  }
  replayDeferredReplies();
}

void AdapterExchange::replayDeferredReplies() {
  while (!inProtocolPause() && !deferred_.empty()) {
    const platform::Data reply = std::move(deferred_.front());
    deferred_.pop_front();
    handleReply(reply);
  }
}

bool AdapterExchange::adapterFitsTheImage() const {
  return connectedDevice_ && connectedDevice_->deviceInfo.vendorId == binEntry_.vendorId &&
         connectedDevice_->deviceInfo.productId == binEntry_.productId;
}

void AdapterExchange::queryForUpdate() {
  if (isConnected_ && adapterFitsTheImage()) {
    state_ = stateConstants::stStartWriteData;
    if (!send(connectedDevice_, reports::kQuery.data(), reports::kQuery.size())) {
      state_ = stateConstants::stEmpty;
      outlet_.status(texts::writeFailed);
      return;
    }
    queryOutstanding_ = true;
    return;
  }
  if (isConnected_) outlet_.status(texts::mismatch);
  else sayWhyNoAdapter(texts::noDevice);
}

void AdapterExchange::queryForLens() {
  if (isConnected_) {
    send(connectedDevice_, reports::kQuery.data(), reports::kQuery.size());
    return;
  }
  sayWhyNoAdapter(texts::noDeviceForLens);
}

void AdapterExchange::showLensId(const platform::Data& reply) {
  const unsigned lens = static_cast<std::uint16_t>(reply[reports::kReplyLensIdAt] * 256 +
                                                   reply[reports::kReplyLensIdAt + 1]);
  std::string text = format(texts::lensId, lens);
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return c < 0x80 ? static_cast<char>(std::toupper(c)) : static_cast<char>(c);
  });
  outlet_.status(text);
}

// The reply to the query before an update. It is refused, and nothing is
// shown of a transfer, when there is no image yet (a new one is on its way),
// when the adapter is not the one the image's entry is for, or when the
// entry's version does not fit the start report.
void AdapterExchange::versionAndStart(const platform::Data& reply) {
  if (!bin_ || downloading_) return;
  queryOutstanding_ = false;
  if (!adapterFitsTheImage()) {
    state_ = stateConstants::stEmpty;
    outlet_.status(texts::mismatch);
    return;
  }
  if (!binEntry_.versionFitsTheStartReport()) {
    state_ = stateConstants::stEmpty;
    outlet_.status(texts::versionOutOfRange);
    return;
  }
  const auto at = reports::kReplyVersionAt;
  outlet_.status(format(texts::adapterVersion, reply[at], reply[at + 1], reply[at + 2]));
  outlet_.status(texts::writing);
  outlet_.progressShown(true);
  outlet_.progress(0);
  outlet_.updateButtonEnabled(false);
  outlet_.tableEnabled(false);
  transferring_ = true;
  transferImage_ = bin_;
  outlet_.keepAwake(true);
  for (std::size_t i = 0; i < 3; ++i)
    start_tab_[reports::kStartVersionAt + i] = static_cast<std::uint8_t>(binEntry_.version[i]);
  if (!send(connectedDevice_, start_tab_.data(), start_tab_.size())) {
    endTransfer(texts::writeFailed);
    return;
  }
  pauseFor(Pacing::afterStart, Waiting::afterStart);
}

void AdapterExchange::takePiece() {
  if (!transferImage_) return;
  const auto& image = *transferImage_;
  const auto at = static_cast<std::size_t>(positionofbin_);
  if (at + reports::kPieceBytes > image.size()) return;
  if (!rdata_) rdata_.emplace();
  rdata_->assign(image.begin() + at, image.begin() + at + reports::kPieceBytes);
  positionofbin_ += reports::kPieceBytes;
  pauseFor(Pacing::beforePiece, Waiting::beforePiece);
}

void AdapterExchange::sendPiece() {
  const auto end = static_cast<std::size_t>(positionofbin_);
  if (!send(connectedDevice_, transferImage_->data() + end - reports::kPieceBytes, reports::kPieceBytes)) {
    endTransfer(texts::writeFailed);
    return;
  }
  if (cnt_ == Pacing::piecesBeforeExtra) {
    cnt_ = 0;
    pauseFor(Pacing::extra, Waiting::extraPause);
    return;
  }
  ++cnt_;
  afterPiece();
}

void AdapterExchange::afterPiece() {
  const auto length = static_cast<std::int64_t>(transferImage_->size());
  if (positionofbin_ < length) {
    outlet_.progress(static_cast<double>(positionofbin_) / static_cast<double>(length) * 100.0);
    outlet_.tableEnabled(true);
    return;
  }
  state_ = stateConstants::stEmpty;
  transferring_ = false;
  outlet_.keepAwake(false);
  outlet_.status(texts::updateDone);
  outlet_.status(texts::removeAdapter);
  outlet_.progressShown(false);
}

// A report that was not taken ends the transfer: the adapter is not written
// to the end, and nothing may say it was.
void AdapterExchange::endTransfer(const char* text) {
  const bool was = transferring_;
  state_ = stateConstants::stEmpty;
  transferring_ = false;
  if (was) outlet_.keepAwake(false);
  if (was) outlet_.status(text);
  outlet_.tableEnabled(true);
}

}  // namespace update
