// Serves the sample catalogue on loopback until it is stopped.
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <unistd.h>

#include "SampleCatalogue.h"

int main(int argc, char* argv[]) {
  const std::uint16_t port = argc > 1 ? static_cast<std::uint16_t>(std::atoi(argv[1])) : 8917;
  FirmwareServer server;
  if (!server.start(port) || !serveSampleCatalogue(server, RINGFLASH_DEMO_CATALOGUE)) {
    std::cerr << "cannot serve the sample catalogue on port " << port << std::endl;
    return 1;
  }
  std::cout << "firmware server: " << server.base() << kListPath << std::endl;
  for (;;) ::pause();
}
