#include "ExchangeSession.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>
#include <utility>

#include "ReplyReading.h"
#include "devicelink/HIDDeviceMonitor.h"
#include "platform/Dictionary.h"
#include "road/AdapterLink.h"
#include "update/AdapterReports.h"
#include "update/ExchangeTexts.h"

namespace cli {
namespace {
// A monitor announces the adapters already attached as soon as it runs.
constexpr auto kFindingTime = std::chrono::seconds(5);

// One monitor per pair in the process, whatever number of sessions: each
// session hears every notification, and a second monitor would say each
// reply twice.
void armOnce(std::int64_t vendorId, std::int64_t productId) {
  static std::mutex mutex;
  static std::set<std::pair<std::int64_t, std::int64_t>> armed;
  std::lock_guard lock(mutex);
  if (armed.insert({vendorId, productId}).second) road::armMonitor(vendorId, productId);
}

}  // namespace

std::atomic<int> ExchangeSession::writers_{0};
std::mutex ExchangeSession::returnsMutex_;
std::condition_variable ExchangeSession::returnsChanged_;
std::uint64_t ExchangeSession::returns_ = 0;
std::mutex ExchangeSession::sessionsMutex_;
std::set<ExchangeSession*> ExchangeSession::sessions_;

void ExchangeSession::stopAll() {
  std::lock_guard lock(sessionsMutex_);
  for (ExchangeSession* session : sessions_) session->exchange_->post([](update::AdapterExchange& e) { e.stop(); });
}

std::uint64_t ExchangeSession::returnsSoFar() {
  std::lock_guard lock(returnsMutex_);
  return returns_;
}

void ExchangeSession::waitForReturns(std::uint64_t seen, std::chrono::steady_clock::time_point until) {
  std::unique_lock lock(returnsMutex_);
  returnsChanged_.wait_until(lock, until, [&] { return returns_ != seen; });
}

ExchangeSession::ExchangeSession(Report& report, std::string port, bool labelled, std::string node)
    : report_(report),
      port_(std::move(port)),
      labelled_(labelled),
      node_(std::move(node)),
      exchange_(std::make_unique<update::ExchangeThread>(static_cast<update::ExchangeEvents&>(*this), armOnce)) {
  auto& center = platform::NotificationCenter::defaultCenter();
  auto& exchange = *exchange_;
  // The exchange hears of an adapter before the command can name it.
  observers_.push_back(center.addObserver(HIDDeviceConnected, [this, &exchange](const auto& n) {
    road::forwardConnected(n, exchange);
    found(n);
  }));
  observers_.push_back(center.addObserver(HIDDeviceDisconnected,
                                          [&exchange](const auto& n) { road::forwardDisconnected(n, exchange); }));
  // Once bound, the session hears only its own adapter: with many adapters
  // at once, each reply would otherwise wake every session's thread.
  observers_.push_back(center.addObserver(HIDDeviceDataReceived, [this, &exchange](const auto& n) {
    const update::AdapterKey own = adapter_.load();
    if (own && road::senderOf(n) != own) return;
    road::forwardReply(n, exchange);
  }));
  observers_.push_back(center.addObserver(HIDDeviceAccessDenied, [this, &exchange](const auto& n) {
    const auto* node = platform::lookup<std::string>(n.object, "node");
    if (!node_.empty() && (!node || *node != node_)) return;
    road::forwardDenied(n, exchange);
  }));
  std::lock_guard lock(sessionsMutex_);
  sessions_.insert(this);
}

ExchangeSession::~ExchangeSession() {
  {
    std::lock_guard lock(sessionsMutex_);
    sessions_.erase(this);
  }
  for (auto token : observers_) platform::NotificationCenter::defaultCenter().removeObserver(token);
  exchange_->stop();
}

void ExchangeSession::found(const platform::Notification& notification) {
  const auto* device = platform::lookup<HIDDevice>(notification.object, "device");
  if (!device) return;
  std::lock_guard lock(mutex_);
  found_[device->node] = device->device.get();
  changed_.notify_all();
  // A written adapter plugged in again is back on its port, often at another node.
  if (writtenNodes_ && !writtenNodes_->count(device->node) && !writtenNodes_->count(device->port)) {
    report_.text(QString::asprintf(texts::lateAdapter, device->node.c_str()).toStdString());
    report_.event("late-adapter", {{"node", QString::fromStdString(device->node)}});
  }
}

void ExchangeSession::sayLateArrivals(std::set<std::string> writtenNodes) {
  std::lock_guard lock(mutex_);
  writtenNodes_ = std::move(writtenNodes);
}

std::optional<update::AdapterKey> ExchangeSession::find(std::uint32_t vendorId, std::uint32_t productId,
                                                        const std::string& node) {
  exchange_->call([=](update::AdapterExchange& e) { return e.isInMonitor(vendorId, productId); });
  armOnce(vendorId, productId);
  std::unique_lock lock(mutex_);
  if (!changed_.wait_for(lock, kFindingTime, [&] { return found_.count(node) > 0; })) return std::nullopt;
  adapter_ = found_[node];
  return found_[node];
}

bool ExchangeSession::updatePressed(const update::FirmwareEntry& entry, update::AdapterKey adapter,
                                    update::WriteRules rules) {
  return exchange_->call([&](update::AdapterExchange& e) { return e.updatePressed(entry, adapter, rules); });
}

void ExchangeSession::downloadFailed() {
  exchange_->post([](update::AdapterExchange& e) { e.downloadFailed(); });
}

void ExchangeSession::imageDownloaded(std::shared_ptr<const platform::Data> image, const update::FirmwareEntry& entry) {
  exchange_->post([image = std::move(image), entry](update::AdapterExchange& e) { e.imageDownloaded(image, entry); });
}

void ExchangeSession::lensPressed(std::uint32_t vendorId, std::uint32_t productId, update::AdapterKey adapter) {
  exchange_->post([=](update::AdapterExchange& e) { e.lensPressed(vendorId, productId, adapter); });
}

update::Outcome ExchangeSession::waitForEnd() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return outcome_.has_value(); });
  const update::Outcome outcome = *outcome_;
  outcome_.reset();
  return outcome;
}

std::optional<update::Outcome> ExchangeSession::endSoFar() {
  std::lock_guard lock(mutex_);
  return std::exchange(outcome_, std::nullopt);
}

std::optional<ExchangeSession::Lens> ExchangeSession::lens() {
  std::lock_guard lock(mutex_);
  return lens_;
}

void ExchangeSession::lensRead(std::uint16_t lensId, const update::reports::Version& version) {
  std::lock_guard lock(mutex_);
  lens_ = Lens{lensId, version};
}

void ExchangeSession::status(std::string_view text) {
  lastText_ = update::lineOf(text);
  report_.text(labelled_ ? port_ + ": " + Report::shown(lastText_) : lastText_);
}

// The logind lock the window takes here is the update command's: it holds
// one for all its adapters, asked for on its own thread.
void ExchangeSession::keepAwake(bool awake) {
  writers_ += awake ? 1 : -1;
  if (awake) started_ = true;
}

std::string ExchangeSession::versionBefore() {
  std::lock_guard lock(mutex_);
  return versionBefore_;
}

void ExchangeSession::adapterRuns(const update::reports::Version& version) {
  const std::string text = versionText(version);
  {
    std::lock_guard lock(mutex_);
    versionBefore_ = text;
  }
  report_.event("version", {{"port", QString::fromStdString(port_)}, {"version", QString::fromStdString(text)}});
}

void ExchangeSession::pieceSent(std::size_t piece, std::size_t pieces) {
  const double percent = pieces ? 100.0 * static_cast<double>(piece) / static_cast<double>(pieces) : 100.0;
  report_.progress(port_, percent, piece, pieces);
}

void ExchangeSession::confirmation(const update::Confirmation& confirmation) {
  {
    std::lock_guard lock(mutex_);
    confirmation_ = confirmation;
  }
  std::lock_guard lock(returnsMutex_);
  ++returns_;
  returnsChanged_.notify_all();
}

std::optional<update::Confirmation> ExchangeSession::returned() {
  std::lock_guard lock(mutex_);
  return confirmation_;
}

std::chrono::steady_clock::time_point ExchangeSession::endedAt() {
  std::lock_guard lock(mutex_);
  return endedAt_;
}

std::string ExchangeSession::lastText() {
  std::lock_guard lock(mutex_);
  return endText_;
}

void ExchangeSession::finished(update::Outcome outcome) {
  std::lock_guard lock(mutex_);
  outcome_ = outcome;
  endText_ = lastText_;
  endedAt_ = std::chrono::steady_clock::now();
  changed_.notify_all();
}

}  // namespace cli
