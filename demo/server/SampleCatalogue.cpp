#include "SampleCatalogue.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace {

std::optional<platform::Data> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return platform::Data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
  server.put(kListPath, platform::Data(list.begin(), list.end()), "text/plain; charset=utf-8");
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
