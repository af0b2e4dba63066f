#pragma once
// A whole transfer in real time through the real window, exchange and device
// link, over whichever adapter the caller has attached (vendor f1a5, product
// 0001, answering at once): from the start report to the completion text,
// against the floor the protocol's pauses set.
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/SimulatedAdapter.h"
#include "sim/SimulatedBus.h"

using Clock = std::chrono::steady_clock;

// When the adapter took each start and data report; called on any thread.
class ReportTimes {
 public:
  void took(const sim::ReceivedReport& report);
  std::vector<Clock::time_point> times() const;

 private:
  mutable std::mutex mutex_;
  std::vector<Clock::time_point> times_;
};

// Keeps this process, and the threads it starts from now on, on the CPU it runs
// on. A piece's road is a strict relay (each thread wakes the next and waits),
// so one CPU takes nothing from it; what it takes out is the cost of waking a
// thread on another CPU, which under a hypervisor is the host's scheduling of
// that virtual CPU (0.1 ms at the median here, 3 ms at times) and not ours.
// False when it could not be done: the benchmark then gives no figure.
bool runOnOneCpu();

// A simulated bus, installed, with the adapter runTransfer expects plugged in;
// `times` learns of every report it takes.
std::shared_ptr<sim::SimulatedBus> plugSimulatedAdapter(ReportTimes& times);

// The transfer over the simulated adapter in real time, offscreen, with the
// number of pieces from the command line (272 by default). The application
// and the bus stay until the program ends (its monitor threads never end).
// Returns the exit status.
int runSimulatedTransfer(int argc, char* argv[], const std::function<void()>& pressing = {});

// `pieces` is rounded up to a multiple of 16, as the zero fill rounds the image.
// Prints: transfer <pieces> pieces: <seconds> s, floor <seconds> s, ratio <r>,
// the time over the floor per piece, then the median and the longest gap
// between two data reports in ms (the protocol's pause between them is
// 100 ms, 300 ms after every 17th).
// `pressing` runs just before the update button is pressed.
// Returns the exit status.
int runTransfer(std::size_t pieces, const ReportTimes& times, const std::function<void()>& pressing = {});
