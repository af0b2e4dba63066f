#include "ExchangeThread.h"

#include <sys/prctl.h>

#include <algorithm>
#include <chrono>
#include <optional>

namespace update {

struct ExchangeThread::Timer {
  struct Job {
    double seconds;
    std::uint64_t token;
    platform::Sleeper sleeper;
  };
  explicit Timer(ExchangeThread& owner) : thread([this, &owner] { run(owner); }) {}
  ~Timer() {
    {
      std::lock_guard lock(mutex);
      stopping = true;
    }
    wake.notify_one();
    thread.join();
  }
  bool idle() {
    std::lock_guard lock(mutex);
    return !job;
  }
  void start(Job next) {
    {
      std::lock_guard lock(mutex);
      job = std::move(next);
    }
    wake.notify_one();
  }
  void run(ExchangeThread& owner) {
    std::unique_lock lock(mutex);
    for (;;) {
      wake.wait(lock, [&] { return stopping || job; });
      if (!job) return;
      const Job current = *job;
      lock.unlock();
      current.sleeper(current.seconds);
      owner.post([token = current.token](AdapterExchange& exchange) { exchange.pauseOver(token); });
      lock.lock();
      job.reset();
    }
  }

  std::mutex mutex;
  std::condition_variable wake;
  std::optional<Job> job;
  bool stopping = false;
  std::thread thread;  // last: it starts once the rest is ready
};

// One thread that waits for the latest deadline asked for. Stopping it does
// not wait for the deadline to pass.
class ExchangeThread::DeadlineTimer {
 public:
  explicit DeadlineTimer(ExchangeThread& owner) : thread_([this, &owner] { run(owner); }) {}
  ~DeadlineTimer() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }
  void start(double seconds, std::uint64_t token) {
    {
      std::lock_guard lock(mutex_);
      due_ = std::chrono::steady_clock::now() +
             std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
      token_ = token;
    }
    wake_.notify_one();
  }

 private:
  void run(ExchangeThread& owner) {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
      if (!token_) {
        wake_.wait(lock);
        continue;
      }
      const auto token = *token_;
      if (wake_.wait_until(lock, due_, [&] { return stopping_ || token_ != token; })) continue;
      token_.reset();
      lock.unlock();
      owner.post([token](AdapterExchange& exchange) { exchange.deadlineOver(token); });
      lock.lock();
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  std::chrono::steady_clock::time_point due_;
  std::optional<std::uint64_t> token_;
  bool stopping_ = false;
  std::thread thread_;  // last: it starts once the rest is ready
};

ExchangeThread::ExchangeThread(ExchangeEvents& window, Arm arm)
    : window_(window), arm_(std::move(arm)), exchange_(*this) {
  deadline_ = std::make_unique<DeadlineTimer>(*this);
  thread_ = std::thread([this] { run(); });
  threadId_ = thread_.get_id();  // read by the thread only in requests, posted after this
}

ExchangeThread::~ExchangeThread() { stop(); }

void ExchangeThread::stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  timers_.clear();  // each waits for its pause to run out
  deadline_.reset();
}

void ExchangeThread::setDeadlines(Deadlines deadlines) {
  post([deadlines](AdapterExchange& exchange) { exchange.setDeadlines(deadlines); });
}

void ExchangeThread::deadline(double seconds, std::uint64_t token) { deadline_->start(seconds, token); }

void ExchangeThread::setSleeper(platform::Sleeper sleeper) {
  post([this, s = std::move(sleeper)](AdapterExchange&) mutable { sleeper_ = std::move(s); });
}

bool ExchangeThread::post(std::function<void(AdapterExchange&)> request) {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    requests_.push_back([this, r = std::move(request)] { r(exchange_); });
  }
  wake_.notify_one();
  return true;
}

void ExchangeThread::run() {
  // The kernel's default slack of 50 µs would come on top of every pause.
  prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
  while (const std::function<void()> request = next()) request();
}

// Requests come first; a pause that ran out meanwhile ends right after them.
// Pending pauses are dropped when the thread stops: their ends would be.
std::function<void()> ExchangeThread::next() {
  std::unique_lock lock(mutex_);
  for (;;) {
    if (!requests_.empty()) {
      std::function<void()> request = std::move(requests_.front());
      requests_.pop_front();
      return request;
    }
    if (stopping_) return {};
    if (pauses_.empty()) {
      wake_.wait(lock);
      continue;
    }
    const auto earliest = std::min_element(pauses_.begin(), pauses_.end());
    if (std::chrono::steady_clock::now() < earliest->first) {
      wake_.wait_until(lock, earliest->first);
      continue;
    }
    const std::uint64_t token = earliest->second;
    pauses_.erase(earliest);
    return [this, token] { exchange_.pauseOver(token); };
  }
}

void ExchangeThread::pause(double seconds, std::uint64_t token) {
  pauseFrom(seconds, token, std::chrono::steady_clock::now());
}

void ExchangeThread::pauseFrom(double seconds, std::uint64_t token, std::chrono::steady_clock::time_point since) {
  if (sleeper_) {
    idleTimer().start({seconds, token, sleeper_});
    return;
  }
  const auto end =
      since + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
  std::lock_guard lock(mutex_);
  pauses_.emplace_back(end, token);
}

ExchangeThread::Timer& ExchangeThread::idleTimer() {
  for (auto& timer : timers_)
    if (timer->idle()) return *timer;
  timers_.push_back(std::make_unique<Timer>(*this));
  return *timers_.back();
}

}  // namespace update
