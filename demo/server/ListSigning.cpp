#include "ListSigning.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "catalogue/FirmwareList.h"
#include "catalogue/ImageCheck.h"

namespace {

std::string joinFields(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? ";" : "") + fields[i];
  return line;
}

std::string signLine(const std::string& line, const ImageLookup& image) {
  auto fields = catalogue::splitFields(line);
  if (fields.size() < catalogue::kFieldsToSelect) return line;
  const std::string& url = fields[catalogue::fImage];
  const auto bytes = image(url.substr(url.rfind('/') + 1));
  if (!bytes) return line;
  fields.resize(std::max<std::size_t>(fields.size(), catalogue::fSize + 1));
  fields[catalogue::fSha256] = catalogue::sha256Hex(*bytes);
  fields[catalogue::fSize] = std::to_string(bytes->size());
  return joinFields(fields);
}

}  // namespace

std::string signList(const std::string& listText, const ImageLookup& image) {
  std::string out;
  std::size_t start = 0;
  while (start <= listText.size()) {
    std::size_t end = listText.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = listText.size();
    std::string line = listText.substr(start, end - start);
    const bool cr = !line.empty() && line.back() == '\r';
    if (cr) line.pop_back();
    out += signLine(line, image) + (cr ? "\r" : "") + (last ? "" : "\n");
    start = end + 1;
  }
  return out;
}

ImageLookup imagesInDirectory(const std::string& directory) {
  return [directory](const std::string& name) -> std::optional<platform::Data> {
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    std::ifstream in(std::filesystem::path(directory) / name, std::ios::binary);
    if (!in) return std::nullopt;
    return platform::Data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };
}
