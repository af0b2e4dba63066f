#include "ListFilling.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include <QStringList>
#include <QUrl>

#include "catalogue/FirmwareList.h"
#include "catalogue/ImageCheck.h"

namespace {

std::string joinFields(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i) line += (i ? ";" : "") + fields[i];
  return line;
}

// The line as it is to be signed; `seen` is told of a complete line.
std::string fillLine(const std::string& line, const ImageLookup& image, std::optional<FilledLine>& seen) {
  auto fields = catalogue::splitFields(line);
  if (fields.size() < catalogue::kFieldsToSelect) return line;
  const std::string& url = fields[catalogue::fImage];
  const auto bytes = image(url);
  const bool hadHash = fields.size() > catalogue::fSha256 && !fields[catalogue::fSha256].empty();
  seen = FilledLine{0, url, bytes.has_value(), bytes || hadHash};
  if (!bytes) return line;
  fields.resize(std::max<std::size_t>(fields.size(), catalogue::fSize + 1));
  fields[catalogue::fSha256] = catalogue::sha256Hex(*bytes);
  fields[catalogue::fSize] = std::to_string(bytes->size());
  return joinFields(fields);
}

}  // namespace

std::string fillImageFields(const std::string& listText, const ImageLookup& image) {
  return fillList(listText, image).text;
}

FilledList fillList(const std::string& listText, const ImageLookup& image) {
  FilledList filled;
  std::string& out = filled.text;
  int number = 0;
  std::size_t start = 0;
  while (start <= listText.size()) {
    std::size_t end = listText.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = listText.size();
    std::string line = listText.substr(start, end - start);
    const bool cr = !line.empty() && line.back() == '\r';
    if (cr) line.pop_back();
    std::optional<FilledLine> seen;
    out += fillLine(line, image, seen) + (cr ? "\r" : "") + (last ? "" : "\n");
    ++number;
    if (seen) seen->line = number, filled.lines.push_back(*seen);
    start = end + 1;
  }
  return filled;
}

namespace {

std::optional<platform::Data> fileBytes(const std::filesystem::path& path) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return platform::Data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

ImageLookup imagesUnderRoot(const std::string& root) {
  return [root](const std::string& url) -> std::optional<platform::Data> {
    const QUrl parsed(QString::fromStdString(url), QUrl::StrictMode);
    if (!parsed.isValid() || parsed.isRelative()) return std::nullopt;
    const QString path = parsed.path(QUrl::FullyDecoded);
    const QStringList segments = path.split('/', Qt::SkipEmptyParts);
    if (segments.isEmpty() || segments.contains("..") || segments.contains(".") || path.contains(QChar(0)))
      return std::nullopt;
    return fileBytes(std::filesystem::path(root) / segments.join('/').toStdString());
  };
}
