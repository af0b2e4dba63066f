#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>
#include <vector>

#include "AdapterExchange.h"
#include "platform/Sleep.h"

namespace update {

// The one thread on which the exchange with the adapter runs. The window, the
// download job and the HID monitors only post requests here; the exchange's
// state is never touched anywhere else. A pause on the real clock is waited
// for by this thread itself, between requests, so that the piece after it
// goes out with no hand-over from another thread; a pause through an injected
// sleeper runs on a timer thread of its own and its end comes back here as an
// event. Either way arrivals and departures are taken while the tool waits.
class ExchangeThread : private ExchangeOutlet {
 public:
  using Arm = std::function<void(std::int64_t vendorId, std::int64_t productId)>;
  // `window` hears what happened, on this thread.
  ExchangeThread(ExchangeEvents& window, Arm arm);
  ~ExchangeThread() override;
  ExchangeThread(const ExchangeThread&) = delete;
  ExchangeThread& operator=(const ExchangeThread&) = delete;

  void setSleeper(platform::Sleeper sleeper);
  void setDeadlines(Deadlines deadlines);
  // Runs what was posted, then ends the thread and waits for running pauses.
  // Afterwards requests are dropped. The destructor does it too.
  void stop();
  // False once the thread is stopping: the request is dropped.
  bool post(std::function<void(AdapterExchange&)> request);
  // Runs `query` on the exchange's thread and returns its result (a default
  // one once the thread is stopping).
  template <typename Query>
  auto call(Query query) -> std::invoke_result_t<Query, AdapterExchange&>;

 private:
  void run();
  // The next request, or the end of a due pause; empty when stopping.
  std::function<void()> next();
  void pause(double seconds, std::uint64_t token) override;
  void pauseFrom(double seconds, std::uint64_t token, std::chrono::steady_clock::time_point since) override;
  void deadline(double seconds, std::uint64_t token) override;
  void arm(std::int64_t vendorId, std::int64_t productId) override { arm_(vendorId, productId); }
  void status(std::string_view text) override { window_.status(text); }
  void talkingTo(AdapterKey device) override { window_.talkingTo(device); }
  void adapterRuns(const reports::Version& version) override { window_.adapterRuns(version); }
  void transferStarted(std::size_t pieces) override { window_.transferStarted(pieces); }
  void pieceSent(std::size_t piece, std::size_t pieces) override { window_.pieceSent(piece, pieces); }
  void keepAwake(bool awake) override { window_.keepAwake(awake); }
  void lensRead(std::uint16_t lensId, const reports::Version& version) override { window_.lensRead(lensId, version); }
  void finished(Outcome outcome) override { window_.finished(outcome); }
  void confirmation(const Confirmation& c) override { window_.confirmation(c); }
  struct Timer;
  Timer& idleTimer();
  class DeadlineTimer;

  ExchangeEvents& window_;
  Arm arm_;
  AdapterExchange exchange_;
  // None: pauses run on the real clock, each measured from the moment the
  // exchange asked for it, so that handing it to a timer costs nothing.
  platform::Sleeper sleeper_;  // used on the exchange's thread only

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> requests_;
  // Pauses on the real clock: when each ends, and its token. A pause whose end
  // is no longer awaited runs out too, and the exchange ignores it.
  std::vector<std::pair<std::chrono::steady_clock::time_point, std::uint64_t>> pauses_;
  bool stopping_ = false;
  std::thread::id threadId_;
  std::thread thread_;

  // Timer threads for pauses through a sleeper, kept for reuse: a transfer
  // has hundreds of pauses. A pause
  // whose end is no longer awaited still runs out on its own timer, so a new
  // pause never waits behind it.
  std::vector<std::unique_ptr<Timer>> timers_;  // touched on the exchange's thread only
  // Deadlines always run on the real clock, and a new one replaces the last:
  // they bound a wait for the adapter, they do not pace the protocol.
  std::unique_ptr<DeadlineTimer> deadline_;
};

template <typename Query>
auto ExchangeThread::call(Query query) -> std::invoke_result_t<Query, AdapterExchange&> {
  using Result = std::invoke_result_t<Query, AdapterExchange&>;
  if (std::this_thread::get_id() == threadId_) return query(exchange_);
  std::promise<Result> promise;
  auto result = promise.get_future();
  if (!post([&](AdapterExchange& exchange) { promise.set_value(query(exchange)); })) return Result{};
  return result.get();
}

}  // namespace update
