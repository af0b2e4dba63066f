#include "ExchangeThread.h"

#include <atomic>

namespace update {

ExchangeThread::ExchangeThread(ExchangeOutlet& window, Arm arm)
    : window_(window), arm_(std::move(arm)), exchange_(*this) {
  thread_ = std::thread([this] { run(); });
  threadId_ = thread_.get_id();  // read by the thread only in requests, posted after this
}

ExchangeThread::~ExchangeThread() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  thread_.join();
  reapPauses(true);
}

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
  reapPauses(false);
  auto over = std::make_shared<std::atomic<bool>>(false);
  std::thread timer([this, seconds, token, over, sleeper = sleeper_] {
    sleeper(seconds);
    post([token](AdapterExchange& exchange) { exchange.pauseOver(token); });
    *over = true;
  });
  pauses_.push_back({std::move(timer), std::move(over)});
}

void ExchangeThread::reapPauses(bool all) {
  for (auto it = pauses_.begin(); it != pauses_.end();) {
    if (all || *it->over) {
      it->thread.join();
      it = pauses_.erase(it);
    } else {
      ++it;
    }
  }
}

}  // namespace update
