#include "FirmwareList.h"

#include <algorithm>

#include "platform/Scanner.h"

namespace catalogue {
namespace {

std::vector<std::string> split(std::string_view text, char separator) {
  std::vector<std::string> pieces;
  // Sized once: a list may have a hundred thousand lines.
  pieces.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), separator)) + 1);
  std::string_view::size_type start = 0;
  for (;;) {
    const auto end = text.find(separator, start);
    if (end == std::string_view::npos) {
      pieces.emplace_back(text.substr(start));
      return pieces;
    }
    pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

// One pass from left to right, as a replacement of every occurrence does it.
std::string removeAll(const std::string& text, const std::string& what) {
  std::string out;
  std::string::size_type start = 0, hit;
  while ((hit = text.find(what, start)) != std::string::npos) {
    out.append(text, start, hit - start);
    start = hit + what.size();
  }
  out.append(text, start);
  return out;
}

}  // namespace

std::vector<std::string> splitLines(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return split(text, '\n');
}

std::vector<std::string> splitFields(std::string_view line) { return split(line, ';'); }

std::string fieldOf(const std::vector<std::string>& fields, std::size_t n) {
  return n < fields.size() ? fields[n] : std::string();
}

bool readHexField(const std::string& field, std::uint32_t& target) { return platform::scanHexInt(field, target); }

bool readVersionField(const std::string& field, std::array<std::int64_t, 3>& version) {
  std::string text = field;
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : static_cast<char>(c);
  });
  text = removeAll(text, "ver");
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  std::vector<std::string> pieces = split(text, '.');
  pieces.erase(std::remove(pieces.begin(), pieces.end(), std::string()), pieces.end());
  bool all = pieces.size() >= 3;
  for (std::size_t i = 0; i < 3 && i < pieces.size(); ++i) all = platform::scanInt(pieces[i], version[i]) && all;
  return all;
}

}  // namespace catalogue
