// The transfer over the real hidraw layer, against an emulated /dev/hidraw
// node that answers at once, in real time. Before it, the emulation's own
// round trip (a write and the reply read back, with nothing of ours between)
// is measured on the same node, so that its share can be told apart.
// hidraw_transfer_bench [pieces]; on one CPU, as runOnOneCpu says why.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "TransferRun.h"
#include "platform/HIDPlatform.h"
#include "sim/EmulatedHidrawBed.h"
#include "sim/UmockdevPreload.h"
#include "update/AdapterReports.h"

namespace {

// Median time of one data report written to the node and its reply read, in
// ms; `idle` apart, as the pieces of a transfer are (after an idle wait, every
// thread involved has to be woken first, which on a virtual machine costs).
double emulationRoundTrip(const char* node, int rounds, std::chrono::milliseconds idle = {}) {
  const int fd = ::open(node, O_RDWR);
  if (fd < 0) return -1;
  std::vector<std::uint8_t> report(1 + update::reports::kPieceBytes, 0x5A);
  report[0] = 0;  // the report number
  std::uint8_t reply[64];
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    std::this_thread::sleep_for(idle);
    const auto start = Clock::now();
    pollfd p{fd, POLLIN, 0};
    if (::write(fd, report.data(), report.size()) < 0 || ::poll(&p, 1, 1000) != 1 ||
        ::read(fd, reply, sizeof reply) <= 0)
      break;
    times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
  }
  ::close(fd);
  if (times.empty()) return -1;
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char* argv[]) {
  sim::runUnderUmockdevPreload(argv);
  if (!runOnOneCpu()) return 1;  // before the test bed starts its thread
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const std::size_t pieces = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 272;
  platform::setHIDManagerFactory(nullptr);  // the real hidraw layer
  sim::AdapterSettings s;
  s.vendorId = 0xF1A5;
  s.productId = 1;
  sim::EmulatedHidrawBed bed;
  sim::EmulatedHidrawNode node(s);
  bed.addAdapter("hidraw0", s, 2, &node);
  std::printf("emulation round trip %.3f ms, after 0.1 s idle %.3f ms\n", emulationRoundTrip("/dev/hidraw0", 200),
              emulationRoundTrip("/dev/hidraw0", 30, std::chrono::milliseconds(100)));
  ReportTimes times;
  node.setObserver([&](const sim::ReceivedReport& r) { times.took(r); });
  const int status = runTransfer(pieces, times);
  std::fflush(stdout);
  std::_Exit(status);  // the node stays open in the monitor's thread
}
