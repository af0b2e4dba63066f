#pragma once
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {
// The global queue: work items run concurrently on a small pool of background
// threads. Each owner keeps its own pool so that it can wait for its jobs
// before it goes away.
class GlobalQueue {
 public:
  explicit GlobalQueue(std::size_t threads = 4);
  ~GlobalQueue();
  GlobalQueue(const GlobalQueue&) = delete;
  GlobalQueue& operator=(const GlobalQueue&) = delete;

  void async(std::function<void()> job);
  // Returns once every job queued so far has ended.
  void waitForAll();

 private:
  void work();
  std::mutex mutex_;
  std::condition_variable wake_, idle_;
  std::deque<std::function<void()>> jobs_;
  std::size_t running_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};
}  // namespace platform
