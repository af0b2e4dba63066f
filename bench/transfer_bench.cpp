// A whole transfer in real time through the real window, exchange and device
// link over the simulated adapter (answering at once): from the start report
// to the completion text, against the floor the protocol's pauses set.
// Prints: transfer <pieces> pieces: <seconds> s, floor <seconds> s, ratio <r>, median gap <ms>
#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "EventWait.h"
#include "app/StatusTexts.h"
#include "app/ViewController.h"
#include "server/SampleCatalogue.h"
#include "sim/SimulatedAdapter.h"
#include "sim/SimulatedBus.h"
#include "update/AdapterExchange.h"

using Clock = std::chrono::steady_clock;

int main(int argc, char* argv[]) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  const std::size_t pieces = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 272;
  FirmwareServer server;
  if (!server.start()) return 1;
  const std::string base = server.base();
  const std::string line = "bench;f1a5;0001;Ver 1.0.0;d;" + base + "/fw/bench.bin;" + base + "/desc/bench.txt";
  server.put(kListPath, platform::Data(line.begin(), line.end()));
  server.put("/desc/bench.txt", platform::Data{'o', 'k'});
  server.put("/fw/bench.bin", platform::Data(pieces * 64 - 1, 0x5A));  // the zero fill makes it whole
  auto bus = platform::sim::SimulatedBus::create();
  bus->install();
  platform::sim::AdapterSettings s;
  s.vendorId = 0xF1A5;
  s.productId = 1;
  auto adapter = bus->plug(s);
  std::mutex mutex;
  std::vector<Clock::time_point> sent;  // every start and data report
  adapter->setObserver([&](const platform::sim::ReceivedReport& r) {
    if (r.kind == platform::sim::ReceivedReport::Kind::query) return;
    std::lock_guard lock(mutex);
    sent.push_back(Clock::now());
  });
  Clock::time_point done;
  ViewController vc(QString::fromStdString(base + kListPath));
  QObject::connect(vc.message, &StatusField::stringValueChanged, [&](const QString& text) {
    if (done == Clock::time_point{} && text.contains(QString::fromUtf8(texts::updateDone))) done = Clock::now();
  });
  vc.viewDidLoad();
  vc.show();
  vc.tableView->selectRow(0);
  vc.tableViewOnClick();
  vc.updateBtnOnClick();
  const int limitMs = static_cast<int>(10000 + pieces * 200);
  if (!waitFor([&] { return done != Clock::time_point{}; }, limitMs)) {
    std::printf("transfer %zu pieces: did not complete: %s\n", pieces, vc.message->stringValue().toUtf8().constData());
    std::fflush(stdout);
    std::_Exit(1);
  }
  std::vector<double> gaps;
  Clock::time_point start;
  {
    std::lock_guard lock(mutex);
    start = sent.front();
    for (std::size_t i = 2; i < sent.size(); ++i)
      gaps.push_back(std::chrono::duration<double, std::milli>(sent[i] - sent[i - 1]).count());
  }
  std::sort(gaps.begin(), gaps.end());
  const double took = std::chrono::duration<double>(done - start).count();
  const double floor = update::Pacing::afterStart + update::Pacing::beforePiece * static_cast<double>(pieces) +
                       update::Pacing::extra * static_cast<double>(pieces / 17);
  std::printf("transfer %zu pieces: %.3f s, floor %.3f s, ratio %.4f, median gap %.2f ms\n", pieces, took, floor,
              took / floor, gaps.empty() ? 0.0 : gaps[gaps.size() / 2]);
  std::fflush(stdout);
  std::_Exit(0);
}
