#include "SerialQueue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform {

struct SerialQueue::State {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void()>> work;
};

SerialQueue::SerialQueue(std::string label) : label_(std::move(label)), state_(std::make_shared<State>()) {
  std::thread([state = state_] {
    for (;;) {
      std::function<void()> next;
      {
        std::unique_lock lock(state->mutex);
        state->wake.wait(lock, [&] { return !state->work.empty(); });
        next = std::move(state->work.front());
        state->work.pop_front();
      }
      next();
    }
  }).detach();
}

void SerialQueue::async(std::function<void()> work) {
  {
    std::lock_guard lock(state_->mutex);
    state_->work.push_back(std::move(work));
  }
  state_->wake.notify_one();
}

}  // namespace platform
