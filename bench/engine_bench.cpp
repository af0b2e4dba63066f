// The exchange engine's own cost per piece, with the pauses counted instead of
// slept and an adapter that takes every report at once: CPU time per piece and
// heap allocations per piece after the first transfer.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <new>

#include "support/FakeAdapter.h"
#include "support/QuietOutlet.h"
#include "update/AdapterExchange.h"

namespace {
std::atomic<std::size_t> allocations{0};
// What the last run of the 4096-piece case measured, for the summary line.
double lastMicrosecondsPerPiece = 0;
double lastAllocationsPerPiece = 0;
}  // namespace

void* operator new(std::size_t n) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

class CountingOutlet : public QuietOutlet {
 public:
  void pause(double seconds, std::uint64_t t) override {
    paused += seconds;
    token = t;
  }
  double paused = 0;
  std::uint64_t token = 0;
};

// One whole transfer; returns the pieces sent. `pieceAllocations` gains the
// allocations made from the first piece to the last.
std::size_t transfer(update::AdapterExchange& exchange, CountingOutlet& out,
                     const std::shared_ptr<const platform::Data>& image, const platform::Data& reply,
                     std::size_t& pieceAllocations) {
  const update::FirmwareEntry entry{0xF1A5, 1, {1, 2, 3}};
  exchange.updatePressed(entry);
  exchange.imageDownloaded(image, entry);
  exchange.pauseOver(out.token);
  const update::AdapterKey from = exchange.connectedDevice()->deviceInfo.device.get();
  exchange.replyReceived(reply, from);
  std::size_t pieces = 0;
  const std::size_t before = allocations.load();
  while (exchange.updateUnderWay()) {
    if (exchange.pausing()) {
      exchange.pauseOver(out.token);
      continue;
    }
    exchange.replyReceived(reply, from);
    ++pieces;
  }
  // The completion texts are made once per transfer, after the last piece.
  const std::size_t made = allocations.load() - before;
  pieceAllocations += made > 2 ? made - 2 : 0;
  return pieces + 1;
}

void BM_PieceStep(benchmark::State& state) {
  const auto pieces = static_cast<std::size_t>(state.range(0));
  CountingOutlet out;
  update::AdapterExchange exchange(out);
  auto adapter = std::make_shared<FakeAdapter>(0xF1A5, 1, "");
  adapter->records = false;  // a record of each piece would be the allocations counted
  exchange.adapterConnected(std::make_shared<RFDevice>(HIDDevice(adapter)));
  const auto image = std::make_shared<const platform::Data>(pieces * 64, 0x5A);
  const platform::Data reply(64, 0);
  std::size_t pieceAllocations = 0;
  transfer(exchange, out, image, reply, pieceAllocations);  // the first transfer may allocate
  pieceAllocations = 0;
  std::size_t sent = 0;
  const auto cpuStart = std::clock();
  for (auto _ : state) sent += transfer(exchange, out, image, reply, pieceAllocations);
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  const double perPiece = static_cast<double>(pieceAllocations) / static_cast<double>(sent);
  if (pieces == 4096) {
    lastMicrosecondsPerPiece = cpuSeconds * 1e6 / static_cast<double>(sent);
    lastAllocationsPerPiece = perPiece;
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(sent));
  state.counters["allocations_per_piece"] = perPiece;
  state.counters["us_per_piece"] =
      benchmark::Counter(static_cast<double>(sent), benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                         benchmark::Counter::OneK::kIs1000);
}
BENCHMARK(BM_PieceStep)->Arg(256)->Arg(4096)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::printf("engine: %.3f us CPU per piece, %.4f allocations per piece\n", lastMicrosecondsPerPiece,
              lastAllocationsPerPiece);
  return 0;
}
