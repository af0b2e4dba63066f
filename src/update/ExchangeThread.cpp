#include "ExchangeThread.h"

#include <sys/prctl.h>

#include <chrono>
#include <optional>

namespace update {

struct ExchangeThread::Timer {
  struct Job {
    double seconds;
    std::uint64_t token;
    platform::Sleeper sleeper;  // none: the real clock, from when the pause was asked for
    std::chrono::steady_clock::time_point asked;
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
    // The kernel's default slack of 50 µs would come on top of every pause.
    prctl(PR_SET_TIMERSLACK, 1000UL, 0, 0, 0);
    std::unique_lock lock(mutex);
    for (;;) {
      wake.wait(lock, [&] { return stopping || job; });
      if (!job) return;
      const Job current = *job;
      lock.unlock();
      if (current.sleeper) current.sleeper(current.seconds);
      else
        std::this_thread::sleep_until(current.asked + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                                                          std::chrono::duration<double>(current.seconds)));
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

ExchangeThread::ExchangeThread(ExchangeOutlet& window, Arm arm)
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
  for (;;) {
    std::function<void()> next;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || !requests_.empty(); });
      if (requests_.empty()) return;  // stopping, and nothing left to do
      next = std::move(requests_.front());
      requests_.pop_front();
    }
    next();
  }
}

void ExchangeThread::pause(double seconds, std::uint64_t token) {
  pauseFrom(seconds, token, std::chrono::steady_clock::now());
}

void ExchangeThread::pauseFrom(double seconds, std::uint64_t token, std::chrono::steady_clock::time_point since) {
  idleTimer().start({seconds, token, sleeper_, since});
}

ExchangeThread::Timer& ExchangeThread::idleTimer() {
  for (auto& timer : timers_)
    if (timer->idle()) return *timer;
  timers_.push_back(std::make_unique<Timer>(*this));
  return *timers_.back();
}

}  // namespace update
