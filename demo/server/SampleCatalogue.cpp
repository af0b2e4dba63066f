#include "SampleCatalogue.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace {

std::optional<platform::Data> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return platform::Data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string fileText(const std::filesystem::path& path) {
  const auto bytes = readFile(path);
  if (!bytes) throw std::runtime_error("cannot read " + path.string());
  return std::string(bytes->begin(), bytes->end());
}

std::string replaceAll(std::string text, const std::string& what, const std::string& with) {
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size()))
    text.replace(at, what.size(), with);
  return text;
}

}  // namespace

platform::Data sampleImage(std::size_t size, const std::string& name) {
  std::uint32_t x = 2166136261u;
  for (unsigned char c : name) x = (x ^ c) * 16777619u;
  platform::Data image(size);
  for (auto& byte : image) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    byte = static_cast<std::uint8_t>(x >> 24);
  }
  return image;
}

std::string sampleListText(const FirmwareServer& server, const std::string& directory) {
  auto bytes = readFile(std::filesystem::path(directory) / "list.txt");
  if (!bytes) return {};
  return replaceAll(std::string(bytes->begin(), bytes->end()), "{BASE}", server.base());
}

bool serveSampleCatalogue(FirmwareServer& server, const std::string& directory) {
  const std::filesystem::path dir(directory);
  const std::string list = sampleListText(server, directory);
  if (list.empty()) return false;
  putSignedList(server, list, demoSecretKey());
  for (const auto& entry : std::filesystem::directory_iterator(dir / "desc")) {
    auto text = readFile(entry.path());
    if (!text) return false;
    server.put("/desc/" + entry.path().filename().string(), *text, "text/plain; charset=gb18030");
  }
  std::ifstream sizes(dir / "images" / "sizes.txt");
  std::string name;
  std::size_t size;
  while (sizes >> name >> size) server.put("/fw/" + name, sampleImage(size, name));
  return true;
}

SecretKey demoSecretKey() {
  const auto key = readSecretKey(fileText(std::string(RINGFLASH_DEMO_KEY) + ".sec"));
  if (!key) throw std::runtime_error("the demo secret key does not read");
  return *key;
}

std::string demoPublicKeyLine() {
  std::istringstream lines(fileText(std::string(RINGFLASH_DEMO_KEY) + ".pub"));
  std::string line;
  std::getline(lines, line);
  std::getline(lines, line);
  return line;
}

void putSignedList(FirmwareServer& server, const std::string& list, const SecretKey& key, bool prehashed) {
  const platform::Data bytes(list.begin(), list.end());
  const std::string signature = signatureFile(bytes, key, defaultTrustedComment("MIRAVEL_LST.txt"), prehashed);
  server.put(kListPath, bytes, "text/plain; charset=utf-8");
  server.put(std::string(kListPath) + ".minisig", platform::Data(signature.begin(), signature.end()));
}

// The first entry claims a newer version: what an attacker on the path might
// do to have an older image written as new.
bool alterServedList(FirmwareServer& server, const std::string& directory) {
  std::string list = sampleListText(server, directory);
  const auto at = list.find("Ver 1.0.12");
  if (at == std::string::npos) return false;
  list[at + 9] = '9';
  server.put(kListPath, platform::Data(list.begin(), list.end()), "text/plain; charset=utf-8");
  return true;
}
