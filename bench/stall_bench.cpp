// The longest time the window's event loop stands still during a whole update
// over the simulated adapter, from the press of the update button to the
// completion text: a heartbeat timer ticks every millisecond on the window's
// thread, and the longest gap between two ticks is the longest stall.
// stall_bench [pieces]
#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "TransferRun.h"
#include "sim/SimulatedBus.h"

int main(int argc, char* argv[]) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const std::size_t pieces = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 272;
  auto bus = platform::sim::SimulatedBus::create();
  bus->install();
  platform::sim::AdapterSettings s;
  s.vendorId = 0xF1A5;
  s.productId = 1;
  ReportTimes times;
  bus->plug(s)->setObserver([&](const platform::sim::ReceivedReport& r) { times.took(r); });

  QTimer heartbeat;
  heartbeat.setTimerType(Qt::PreciseTimer);
  heartbeat.setInterval(1);
  Clock::time_point last;
  double longest = 0;
  QObject::connect(&heartbeat, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
    last = now;
  });
  const int status = runTransfer(pieces, times, [&] {
    last = Clock::now();
    heartbeat.start();
  });
  std::printf("stall: longest %.2f ms\n", longest);
  std::fflush(stdout);
  std::_Exit(status);
}
