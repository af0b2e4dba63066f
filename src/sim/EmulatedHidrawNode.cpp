#include "EmulatedHidrawNode.h"

#include <unistd.h>

namespace sim {
using namespace platform;  // the simulator stands in for the platform's devices

EmulatedHidrawNode::EmulatedHidrawNode(AdapterSettings settings) : model_(std::move(settings)) {}

AdapterSettings EmulatedHidrawNode::settings() const {
  std::lock_guard lock(mutex_);
  return model_.settings();
}

void EmulatedHidrawNode::attach(int fifo) {
  std::lock_guard lock(mutex_);
  fifo_ = fifo;
  model_.pluggedIn();
}

bool EmulatedHidrawNode::taken(const std::uint8_t* bytes, std::size_t length) {
  if (length < 1) return false;
  const Data report(bytes + 1, bytes + length);
  Answer answer;
  std::function<void(const ReceivedReport&)> observer;
  int fifo;
  {
    std::lock_guard lock(mutex_);
    answer = model_.take(report.data(), report.size());
    if (answer.refused) return false;
    writes_.emplace_back(bytes, bytes + length);
    observer = observer_;
    fifo = fifo_;
  }
  if (observer) observer({answer.kind, report});
  if (answer.reply) {
    [[maybe_unused]] const auto n = ::write(fifo, answer.reply->data(), answer.reply->size());
  }
  return true;
}

std::vector<Data> EmulatedHidrawNode::writes() const {
  std::lock_guard lock(mutex_);
  return writes_;
}

void EmulatedHidrawNode::setObserver(std::function<void(const ReceivedReport&)> observer) {
  std::lock_guard lock(mutex_);
  observer_ = std::move(observer);
}

}  // namespace sim
