// Serves the sample catalogue on loopback until it is stopped; or, for firmware
// publishers, fills in the hash and size of a list's images and signs the list.
#include <unistd.h>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <string>

#include "ListSigning.h"
#include "SampleCatalogue.h"
#include "SignatureWriting.h"

namespace {

std::optional<std::string> readText(const QString& path) {
  std::ifstream in(path.toStdString(), std::ios::binary);
  if (!in) {
    std::cerr << "cannot read " << path.toStdString() << std::endl;
    return std::nullopt;
  }
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool writeText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (out << text && out.flush()) return true;
  std::cerr << "cannot write " << path << std::endl;
  return false;
}

std::optional<SecretKey> readKeyFile(const QString& path) {
  const auto text = readText(path);
  if (!text) return std::nullopt;
  auto key = readSecretKey(*text);
  if (!key) std::cerr << path.toStdString() << " is not a minisign secret key without a password" << std::endl;
  return key;
}

// Everything is read before anything is written, so OUTPUT may be LIST.
int printSignedList(const QString& listPath, const QString& imageDir, const QString& outputPath,
                    const QString& secretKeyPath) {
  const auto list = readText(listPath);
  const auto key = secretKeyPath.isEmpty() ? std::nullopt : readKeyFile(secretKeyPath);
  if (!list || (!secretKeyPath.isEmpty() && !key)) return 1;
  const std::string filled = signList(*list, imagesInDirectory(imageDir.toStdString()));
  if (outputPath.isEmpty()) {
    std::cout << filled;
    return 0;
  }
  const std::string out = outputPath.toStdString();
  if (!writeText(out, filled)) return 1;
  if (!key) return 0;
  const platform::Data bytes(filled.begin(), filled.end());
  const std::string name = std::filesystem::path(out).filename().string();
  return writeText(out + ".minisig", signatureFile(bytes, *key, defaultTrustedComment(name))) ? 0 : 1;
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
      "Serves the sample firmware catalogue on 127.0.0.1 (port 8917 unless given), its list\n"
      "signed by the demo key.\n"
      "With --sign-list, prints LIST (or writes it to OUTPUT) with fields 8 and 9 (SHA-256\n"
      "and size) of every complete line set from the image file in IMAGE_DIR named like the\n"
      "last path segment of its image URL; with --secret-key as well, signs what it wrote\n"
      "into OUTPUT.minisig, as `minisign -S` does.");
  parser.addHelpOption();
  parser.addPositionalArgument("port", "Port to listen on.", "[PORT]");
  QCommandLineOption sign("sign-list", "Print LIST with image hashes and sizes filled in.", "LIST");
  QCommandLineOption images("images", "Folder of the image files for --sign-list.", "IMAGE_DIR", ".");
  QCommandLineOption output("output", "Write the list to OUTPUT instead (it may be LIST itself).", "OUTPUT");
  QCommandLineOption secretKey("secret-key",
                               "Sign the list written to OUTPUT with this minisign secret key "
                               "(made without a password: minisign -G -W) into OUTPUT.minisig.",
                               "FILE");
  parser.addOptions({sign, images, output, secretKey});
  parser.process(app);
  if (parser.isSet(secretKey) && !parser.isSet(output)) {
    std::cerr << "--secret-key needs --output FILE: the signature is written beside it, as FILE.minisig" << std::endl;
    return 2;
  }
  if (parser.isSet(sign))
    return printSignedList(parser.value(sign), parser.value(images), parser.value(output), parser.value(secretKey));
  const QStringList rest = parser.positionalArguments();
  bool ok = true;
  const std::uint16_t port = rest.isEmpty() ? 8917 : rest.first().toUShort(&ok);
  if (!ok) parser.showHelp(2);
  return serve(port);
}
