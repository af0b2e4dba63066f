#pragma once
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "sim/SimulatedAdapter.h"

// Watches what an adapter receives and what the window says, for the faults
// that brick adapters: a query or start report among the pieces of a
// transfer, a piece outside a transfer, and a completion text for an image
// that did not arrive whole.
class TranscriptCheck {
 public:
  // `adapter` numbers the adapters; each has its own transfer.
  void report(std::size_t adapter, sim::ReceivedReport::Kind kind);  // any thread
  void status(const std::string& text);                              // the window's thread
  void departed(std::size_t adapter);
  std::vector<std::string> violations() const;

 private:
  void violation(const std::string& what);
  mutable std::mutex mutex_;
  struct Transfer {
    bool open = false;  // from a start report to the end of its transfer
    std::size_t pieces = 0;
  };
  std::map<std::size_t, Transfer> transfers_;
  std::string lastStatus_;
  std::vector<std::string> violations_;
};
