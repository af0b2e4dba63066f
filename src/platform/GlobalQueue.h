#pragma once
#include <QThreadPool>
#include <functional>

namespace platform {
// The global queue: work items run on a pool of background threads. Each owner
// keeps its own pool so that it can wait for its jobs before it goes away.
class GlobalQueue {
 public:
  GlobalQueue();
  ~GlobalQueue();
  void async(std::function<void()> job);
  void waitForAll();

 private:
  QThreadPool pool_;
};
}  // namespace platform
