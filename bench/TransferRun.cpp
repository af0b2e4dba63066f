#include "TransferRun.h"

#include <sched.h>

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "EventWait.h"
#include "app/StatusTexts.h"
#include "app/ViewController.h"
#include "catalogue/ZeroFill.h"
#include "server/SampleCatalogue.h"
#include "update/AdapterExchange.h"

void ReportTimes::took(const sim::ReceivedReport& report) {
  if (report.kind == sim::ReceivedReport::Kind::query) return;
  std::lock_guard lock(mutex_);
  times_.push_back(Clock::now());
}

std::vector<Clock::time_point> ReportTimes::times() const {
  std::lock_guard lock(mutex_);
  return times_;
}

std::shared_ptr<sim::SimulatedBus> plugSimulatedAdapter(ReportTimes& times) {
  auto bus = sim::SimulatedBus::create();
  bus->install();
  sim::AdapterSettings s;
  s.vendorId = 0xF1A5;
  s.productId = 1;
  bus->plug(s)->setObserver([&times](const sim::ReceivedReport& r) { times.took(r); });
  return bus;
}

bool runOnOneCpu() {
  const int cpu = sched_getcpu();
  cpu_set_t one;
  CPU_ZERO(&one);
  if (cpu >= 0) CPU_SET(cpu, &one);
  if (cpu < 0 || sched_setaffinity(0, sizeof one, &one) != 0) {
    std::perror("transfer benchmark: not on one CPU");
    return false;
  }
  return true;
}

int runSimulatedTransfer(int argc, char* argv[], const std::function<void()>& pressing) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  new QApplication(argc, argv);
  const std::size_t pieces = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 272;
  static ReportTimes times;
  static const auto bus = plugSimulatedAdapter(times);
  return runTransfer(pieces, times, pressing);
}

int runTransfer(std::size_t wanted, const ReportTimes& times, const std::function<void()>& pressing) {
  // The zero fill makes the image whole pieces, in blocks of 16.
  platform::Data image(wanted * 64 - 1, 0x5A);
  platform::Data filled = image;
  catalogue::zeroFill(filled);
  const std::size_t pieces = filled.size() / 64;
  FirmwareServer server;
  if (!server.start()) return 1;
  const std::string base = server.base();
  const std::string line = "bench;f1a5;0001;Ver 1.0.0;d;" + base + "/fw/bench.bin;" + base + "/desc/bench.txt";
  server.put(kListPath, platform::Data(line.begin(), line.end()));
  server.put("/desc/bench.txt", platform::Data{'o', 'k'});
  server.put("/fw/bench.bin", std::move(image));
  Clock::time_point done;
  ViewController vc(QString::fromStdString(base + kListPath));
  QObject::connect(vc.message, &StatusField::stringValueChanged, [&](const QString& text) {
    if (done == Clock::time_point{} && text.contains(QString::fromUtf8(texts::updateDone))) done = Clock::now();
  });
  vc.viewDidLoad();
  vc.show();
  vc.tableView->selectRow(0);
  vc.tableViewOnClick();
  if (pressing) pressing();
  vc.updateBtnOnClick();
  const int limitMs = static_cast<int>(10000 + pieces * 200);
  if (!waitFor([&] { return done != Clock::time_point{}; }, limitMs)) {
    std::printf("transfer %zu pieces: did not complete: %s\n", pieces, vc.message->stringValue().toUtf8().constData());
    return 1;
  }
  const auto sent = times.times();
  std::vector<double> gaps;
  for (std::size_t i = 2; i < sent.size(); ++i)
    gaps.push_back(std::chrono::duration<double, std::milli>(sent[i] - sent[i - 1]).count());
  std::sort(gaps.begin(), gaps.end());
  const double took = std::chrono::duration<double>(done - sent.front()).count();
  const double floor = update::Pacing::afterStart + update::Pacing::beforePiece * static_cast<double>(pieces) +
                       update::Pacing::extra * static_cast<double>(pieces / 17);
  std::printf(
      "transfer %zu pieces: %.3f s, floor %.3f s, ratio %.4f, over the floor %.2f ms per piece, "
      "median gap %.2f ms, p90 %.2f ms, longest %.2f ms\n",
      pieces, took, floor, took / floor, (took - floor) * 1000.0 / static_cast<double>(pieces),
      gaps.empty() ? 0.0 : gaps[gaps.size() / 2], gaps.empty() ? 0.0 : gaps[gaps.size() * 9 / 10],
      gaps.empty() ? 0.0 : gaps.back());
  return 0;
}
