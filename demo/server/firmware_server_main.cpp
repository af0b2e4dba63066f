// Serves the sample catalogue on loopback until it is stopped. Publishers
// fill in and sign their own lists with ringflash-publish.
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <iostream>

#include "SampleCatalogue.h"

namespace {

int serve(std::uint16_t port) {
  FirmwareServer server;
  if (!server.start(port) || !serveSampleCatalogue(server, RINGFLASH_DEMO_CATALOGUE)) {
    std::cerr << "cannot serve the sample catalogue on port " << port << std::endl;
    return 1;
  }
  std::cout << "firmware server: " << server.base() << kListPath << std::endl;
  for (;;) ::pause();
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Serves the sample firmware catalogue on 127.0.0.1 (port 8917 unless given), its list\n"
      "signed by the demo key.");
  parser.addHelpOption();
  parser.addPositionalArgument("port", "Port to listen on.", "[PORT]");
  parser.process(app);
  const QStringList rest = parser.positionalArguments();
  bool ok = true;
  const std::uint16_t port = rest.isEmpty() ? 8917 : rest.first().toUShort(&ok);
  if (!ok) parser.showHelp(2);
  return serve(port);
}
