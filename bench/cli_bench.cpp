// Several adapters at once: ringflash-cli update --all against N adapters on
// emulated /dev/hidraw nodes, the program run as users run it. Prints the
// wall time from the start of the command to its end, and its CPU time per
// piece written (all adapters together), its start and the reads of the list
// and the image left out: the command is run once with a short image first,
// and the figure is the difference between the two runs over the pieces
// between them.
// cli_bench ADAPTERS [PIECES]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "server/FirmwareServer.h"
#include "server/SampleCatalogue.h"
#include "sim/EmulatedHidrawBed.h"
#include "sim/UmockdevPreload.h"
#include "support/ProgramRun.h"
#include "update/AdapterReports.h"

namespace {

// The run whose cost is taken away: the program's start, the list, one image.
constexpr std::size_t kShortPieces = 32;

double childCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Every node got, over all runs so far, the query, the start report and
// `pieces` pieces a run, and the command said it was done.
bool wrote(const std::vector<std::unique_ptr<sim::EmulatedHidrawNode>>& nodes, std::size_t pieces,
           const ProgramRun& run) {
  for (const auto& node : nodes)
    if (node->writes().size() != pieces + 2) {
      std::fprintf(stderr, "an adapter got %zu reports, not %zu\n%s", node->writes().size(), pieces + 2,
                   run.err.c_str());
      return false;
    }
  if (run.exit != 0) std::fprintf(stderr, "exit %d\n%s", run.exit, run.err.c_str());
  return run.exit == 0;
}

}  // namespace

int main(int argc, char** argv) {
  sim::runUnderUmockdevPreload(argv);
  const int adapters = argc > 1 ? std::atoi(argv[1]) : 1;
  const std::size_t pieces = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 272;
  if (adapters < 1 || adapters > 32 || pieces <= kShortPieces || pieces % 16) {
    std::fprintf(stderr, "usage: cli_bench ADAPTERS(1-32) [PIECES, a multiple of 16 above 32]\n");
    return 2;
  }
  FirmwareServer server;
  if (!server.start()) return 1;
  // The zero fill adds a whole block to an image of whole blocks.
  server.put("/fw/b.bin", platform::Data((pieces - 16) * update::reports::kPieceBytes, 0x5C));
  server.put("/fw/short.bin", platform::Data((kShortPieces - 16) * update::reports::kPieceBytes, 0x5C));
  server.put("/desc/b.txt", platform::Data{'d'});
  const std::string b = server.base();
  const std::string list = "bench;f1a5;0001;Ver 2.3.4;d;" + b + "/fw/b.bin;" + b + "/desc/b.txt\n" +
                           "short;f1a5;0001;Ver 2.3.4;d;" + b + "/fw/short.bin;" + b + "/desc/b.txt";
  server.put(kListPath, platform::Data(list.begin(), list.end()));

  sim::EmulatedHidrawBed bed;
  sim::AdapterSettings settings;
  settings.vendorId = 0xF1A5;
  settings.productId = 1;
  std::vector<std::unique_ptr<sim::EmulatedHidrawNode>> nodes;
  for (int i = 0; i < adapters; ++i) {
    nodes.push_back(std::make_unique<sim::EmulatedHidrawNode>(settings));
    bed.addAdapter(("hidraw" + std::to_string(i)).c_str(), settings, 2 + i, nodes.back().get());
  }
  const ProgramRun shortRun =
      runProgram({RINGFLASH_CLI, "update", "1", "--all", "--server", b}, {}, std::chrono::minutes(10));
  if (!wrote(nodes, kShortPieces, shortRun)) return 1;
  const double shortCpu = childCpuSeconds();
  const auto start = std::chrono::steady_clock::now();
  const ProgramRun run =
      runProgram({RINGFLASH_CLI, "update", "0", "--all", "--server", b}, {}, std::chrono::minutes(10));
  const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = childCpuSeconds() - shortCpu;
  if (!wrote(nodes, kShortPieces + 2 + pieces, run)) return 1;
  std::printf("adapters: %d pieces: %zu wall %.3f s cpu per piece %.1f us\n", adapters, pieces, wall,
              cpu / static_cast<double>((pieces - kShortPieces) * static_cast<std::size_t>(adapters)) * 1e6);
  std::fflush(stdout);
  std::_Exit(0);  // the test bed is kept to the end, as umockdev needs
}
