// The transfer over the simulated adapter, in real time.
// transfer_bench [pieces]; on one CPU, as runOnOneCpu says why.
#include <cstdio>
#include <cstdlib>

#include "TransferRun.h"

int main(int argc, char* argv[]) {
  if (!runOnOneCpu()) return 1;
  const int status = runSimulatedTransfer(argc, argv);
  std::fflush(stdout);
  std::_Exit(status);
}
