// The adapter's replies: the protocol's state machine.
#include <QString>
#include <algorithm>
#include <cstdio>

#include "app/StatusTexts.h"
#include "app/ViewController.h"
#include "platform/Dictionary.h"
#include "platform/MainQueue.h"

namespace {
constexpr std::size_t kLensReplyBytes = 18;
constexpr std::size_t kVersionReplyBytes = 9;
constexpr std::size_t kPieceBytes = 64;
constexpr double kStartPause = 0.5;
constexpr double kPiecePause = 0.1;
constexpr double kExtraPause = 0.2;
constexpr std::int64_t kPiecesBeforeExtraPause = 16;

QString format(const char* pattern, auto... values) {
  char text[256];
  std::snprintf(text, sizeof text, pattern, values...);
  return QString::fromUtf8(text);
}
}  // namespace

void ViewController::hidReadData(const platform::Notification& notification) {
  const auto* data = platform::lookup<platform::Data>(notification.object, "data");
  if (!data) return;
  {
    std::lock_guard lock(fieldsMutex_);
    rdata_ = *data;
  }
  if (state == stateConstants::stCheck) {
    if (data->size() < kLensReplyBytes) return;
    lensIdStep(*data);
  }
  if (state == stateConstants::stStartWriteData) {
    if (data->size() < kVersionReplyBytes) return;
    versionAndStartStep(*data);
  }
  if (state == stateConstants::stGetResponseOfStartWriteData) pieceStep();
}

void ViewController::lensIdStep(const platform::Data& reply) {
  const unsigned lens = static_cast<std::uint16_t>(reply[16] * 256 + reply[17]);
  postStatus(format(texts::lensId, lens).toUpper());
}

void ViewController::versionAndStartStep(const platform::Data& reply) {
  const QString adapterVersion = format(texts::adapterVersion, reply[6], reply[7], reply[8]);
  platform::mainQueueAsync(this, [this, adapterVersion] {
    showStatus(adapterVersion);
    showStatus(texts::writing);
    processBar->setHidden(false);
    processBar->setDoubleValue(0);
    updateBtn->setEnabled(false);
    tableView->setEnabled(false);
  });
  std::vector<std::uint8_t> start;
  {
    std::lock_guard lock(fieldsMutex_);
    const bool fits = std::all_of(binVersion_.begin(), binVersion_.end(), [](auto n) { return n >= 0 && n <= 255; });
    if (!fits || !bin_) {
      state = stateConstants::stEmpty;
      postStatus(texts::versionOutOfRange);
      return;
    }
    for (int i = 0; i < 3; ++i) start_tab_[6 + i] = static_cast<std::uint8_t>(binVersion_[i]);
    start = start_tab_;
  }
  if (auto device = connectedDevice()) device->write(start);
  sleep(kStartPause);
  std::lock_guard lock(fieldsMutex_);
  transferImage_ = bin_;
  positionofbin_ = 0;
  state = stateConstants::stGetResponseOfStartWriteData;
}

void ViewController::pieceStep() {
  platform::Data piece;
  std::int64_t position, length;
  {
    std::lock_guard lock(fieldsMutex_);
    if (!transferImage_) return;
    const auto& image = *transferImage_;
    length = static_cast<std::int64_t>(image.size());
    if (positionofbin_ + static_cast<std::int64_t>(kPieceBytes) > length) return;
    piece.assign(image.begin() + positionofbin_, image.begin() + positionofbin_ + kPieceBytes);
    rdata_ = piece;
    positionofbin_ += kPieceBytes;
    position = positionofbin_;
  }
  sleep(kPiecePause);
  // Ended meanwhile (the adapter left, or the state was changed): no more
  // pieces, and the table is given back so that an entry can be chosen again.
  if (state != stateConstants::stGetResponseOfStartWriteData) {
    platform::mainQueueAsync(this, [this] { tableView->setEnabled(true); });
    return;
  }
  const auto device = connectedDevice();
  if (!device || !device->write(piece)) {
    endTransfer(texts::writeFailed);
    return;
  }
  bool extraPause;
  {
    std::lock_guard lock(fieldsMutex_);
    extraPause = cnt_ == kPiecesBeforeExtraPause;
    cnt_ = extraPause ? 0 : cnt_ + 1;
  }
  if (extraPause) sleep(kExtraPause);
  if (position < length) {
    const double progress = static_cast<double>(position) / static_cast<double>(length) * 100.0;
    platform::mainQueueAsync(this, [this, progress] {
      processBar->setDoubleValue(progress);
      tableView->setEnabled(true);
    });
    return;
  }
  state = stateConstants::stEmpty;
  platform::mainQueueAsync(this, [this] {
    showStatus(texts::updateDone);
    showStatus(texts::removeAdapter);
    processBar->setHidden(true);
  });
}

// A piece that could not be sent ends the transfer: the adapter is not
// written to the end, and nothing may say it was.
void ViewController::endTransfer(const QString& text) {
  const bool wasTransferring = state.exchange(stateConstants::stEmpty) == stateConstants::stGetResponseOfStartWriteData;
  platform::mainQueueAsync(this, [this, wasTransferring, text] {
    if (wasTransferring) showStatus(text);
    tableView->setEnabled(true);
  });
}
