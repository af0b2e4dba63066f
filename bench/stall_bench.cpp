// The longest time the window's event loop stands still during a whole update
// over the simulated adapter, from the press of the update button to the
// completion text: a heartbeat timer ticks every millisecond on the window's
// thread, and the longest gap between two ticks is the longest stall.
// stall_bench [pieces]
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "TransferRun.h"

int main(int argc, char* argv[]) {
  std::unique_ptr<QTimer> heartbeat;
  Clock::time_point last;
  double longest = 0;
  const int status = runSimulatedTransfer(argc, argv, [&] {
    heartbeat = std::make_unique<QTimer>();
    heartbeat->setTimerType(Qt::PreciseTimer);
    heartbeat->setInterval(1);
    QObject::connect(heartbeat.get(), &QTimer::timeout, [&] {
      const auto now = Clock::now();
      longest = std::max(longest, std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
    });
    last = Clock::now();
    heartbeat->start();
  });
  std::printf("stall: longest %.2f ms\n", longest);
  std::fflush(stdout);
  std::_Exit(status);
}
