// The transfer over the simulated adapter, in real time.
// transfer_bench [pieces]
#include <QApplication>
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
  const int status = runTransfer(pieces, times);
  std::fflush(stdout);
  std::_Exit(status);
}
