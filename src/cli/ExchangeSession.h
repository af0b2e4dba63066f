#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "Report.h"
#include "platform/Data.h"
#include "platform/NotificationCenter.h"
#include "update/ExchangeThread.h"
#include "update/FirmwareEntry.h"
#include "update/WriteRules.h"

namespace cli {

// The exchange with one adapter, for a command that waits for its end: the
// same engine, monitors and notifications as the window, with the texts,
// the progress and the end going to the report.
class ExchangeSession : private update::ExchangeEvents {
 public:
  // `port` names the adapter in the events, and with `labelled` in front of
  // each text too, when several adapters are written at once. With `node`,
  // the session hears only of that node being denied: another adapter's
  // denial is said once, by the command, under its own port.
  ExchangeSession(Report& report, std::string port, bool labelled = false, std::string node = "");
  ~ExchangeSession() override;

  // Watches the pair and waits for the adapter at `node` to be found. Absent
  // when it is not found within a few seconds.
  std::optional<update::AdapterKey> find(std::uint32_t vendorId, std::uint32_t productId, const std::string& node);

  // From now on, an adapter found at a node or port other than these is
  // said to be left alone: the set an update writes is fixed when it starts.
  void sayLateArrivals(std::set<std::string> writtenNodes);

  // An update of `entry` on the adapter: true when its image may be downloaded.
  bool updatePressed(const update::FirmwareEntry& entry, update::AdapterKey adapter, update::WriteRules rules);
  void downloadFailed();
  void imageDownloaded(std::shared_ptr<const platform::Data> image, const update::FirmwareEntry& entry);
  void lensPressed(std::uint32_t vendorId, std::uint32_t productId, update::AdapterKey adapter);

  // Waits for the end of what was started, and says how it ended.
  update::Outcome waitForEnd();
  // When the exchange said it was over.
  std::chrono::steady_clock::time_point endedAt();
  // How what was refused at once ended, if it did.
  std::optional<update::Outcome> endSoFar();
  // The text that said how it ended; what is said after the end (the
  // adapter leaving to be re-seated) does not change it.
  std::string lastText();
  // What the adapter's reply to a lens query said, once it did.
  struct Lens {
    std::uint16_t id = 0;
    update::reports::Version version{};
  };
  std::optional<Lens> lens();

  // From the start report to the end of the transfer: stopping now leaves
  // an adapter that does not start again.
  static bool writing() { return writers_.load() > 0; }
  // Stops every session's exchange: each ends as stopped, and says so.
  static void stopAll();
  // Whether the start report went out: the adapter was written to.
  bool started() const { return started_.load(); }
  // The adapter's version before the update, once its reply said it.
  std::string versionBefore();
  // How the written adapter answered once it was plugged in again, if it has.
  std::optional<update::Confirmation> returned();
  // Any session's written adapter answering after its return counts; waits
  // until one more than `seen` have, or until `until`.
  static std::uint64_t returnsSoFar();
  static void waitForReturns(std::uint64_t seen, std::chrono::steady_clock::time_point until);

 private:
  void status(std::string_view text) override;
  void keepAwake(bool awake) override;
  void finished(update::Outcome outcome) override;
  void talkingTo(update::AdapterKey device) override { adapter_ = device; }
  void adapterRuns(const update::reports::Version& version) override;
  void transferStarted(std::size_t pieces) override { pieceSent(0, pieces); }
  void pieceSent(std::size_t piece, std::size_t pieces) override;
  void lensRead(std::uint16_t lensId, const update::reports::Version& version) override;
  void confirmation(const update::Confirmation& confirmation) override;
  void found(const platform::Notification& notification);

  Report& report_;
  const std::string port_;
  const bool labelled_;
  const std::string node_;
  std::atomic<bool> started_{false};
  std::atomic<update::AdapterKey> adapter_{nullptr};  // the one it was bound to
  std::string versionBefore_;                         // guarded by mutex_
  std::string lastText_;                              // on the exchange's thread only
  std::string endText_;                               // lastText_ when the end was told; guarded by mutex_

  std::mutex mutex_;
  std::condition_variable changed_;
  std::map<std::string, update::AdapterKey> found_;  // by node
  std::optional<std::set<std::string>> writtenNodes_;
  std::optional<update::Outcome> outcome_;
  std::optional<update::Confirmation> confirmation_;
  std::optional<Lens> lens_;
  std::chrono::steady_clock::time_point endedAt_;

  std::vector<platform::NotificationCenter::Token> observers_;
  std::unique_ptr<update::ExchangeThread> exchange_;  // last: it goes first

  static std::atomic<int> writers_;
  static std::mutex returnsMutex_;
  static std::condition_variable returnsChanged_;
  static std::uint64_t returns_;
  static std::mutex sessionsMutex_;
  static std::set<ExchangeSession*> sessions_;
};

}  // namespace cli
