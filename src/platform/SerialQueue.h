#pragma once
#include <functional>
#include <memory>
#include <string>

namespace platform {
// A serial queue: work items run one at a time, in order, on a thread of the
// queue's own. It lives until the process ends.
class SerialQueue {
 public:
  explicit SerialQueue(std::string label);
  void async(std::function<void()> work);
  const std::string& label() const { return label_; }

 private:
  struct State;
  std::string label_;
  std::shared_ptr<State> state_;
};
}  // namespace platform
