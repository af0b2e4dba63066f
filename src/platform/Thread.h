#pragma once
#include <functional>

namespace platform {
// A thread object with an entry point, like the platform's: once started it
// runs on its own and keeps what its entry holds alive for as long as it runs.
class Thread {
 public:
  explicit Thread(std::function<void()> entry) : entry_(std::move(entry)) {}
  void start();

 private:
  std::function<void()> entry_;
};
}  // namespace platform
