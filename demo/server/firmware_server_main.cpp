// Serves the sample catalogue on loopback until it is stopped; or, for firmware
// publishers, prints a list with the hash and size of its images filled in.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "ListSigning.h"
#include "SampleCatalogue.h"

namespace {

int printSignedList(const QString& listPath, const QString& imageDir) {
  std::ifstream in(listPath.toStdString(), std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << listPath.toStdString() << std::endl;
    return 1;
  }
  const std::string list((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::cout << signList(list, imagesInDirectory(imageDir.toStdString()));
  return 0;
}

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
      "Serves the sample firmware catalogue on 127.0.0.1 (port 8917 unless given).\n"
      "With --sign-list, prints LIST with fields 8 and 9 (SHA-256 and size) of every\n"
      "complete line set from the image file in IMAGE_DIR named like the last path\n"
      "segment of its image URL.");
  parser.addHelpOption();
  parser.addPositionalArgument("port", "Port to listen on.", "[PORT]");
  QCommandLineOption sign("sign-list", "Print LIST with image hashes and sizes filled in.", "LIST");
  QCommandLineOption images("images", "Folder of the image files for --sign-list.", "IMAGE_DIR", ".");
  parser.addOptions({sign, images});
  parser.process(app);
  if (parser.isSet(sign)) return printSignedList(parser.value(sign), parser.value(images));
  const QStringList rest = parser.positionalArguments();
  bool ok = true;
  const std::uint16_t port = rest.isEmpty() ? 8917 : rest.first().toUShort(&ok);
  if (!ok) parser.showHelp(2);
  return serve(port);
}
