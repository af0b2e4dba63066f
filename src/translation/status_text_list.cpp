// Writes the list of the status texts that the engine, the catalogue and the
// command line show: every string literal of the headers named on the command
// line, comments and preprocessor lines left out, each marked for lupdate.
//   status_text_list OUT.cpp HEADER...
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The literals of a header as written there, escapes and all.
std::vector<std::string> literalsOf(const std::string& s) {
  std::vector<std::string> found;
  bool lineStart = true;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\n') {
      lineStart = true;
      continue;
    }
    if (c == ' ' || c == '\t') continue;
    if (lineStart && c == '#') {
      i = s.find('\n', i) - 1;
      continue;
    }
    lineStart = false;
    if (s.compare(i, 2, "//") == 0) {
      i = s.find('\n', i) - 1;
      continue;
    }
    if (s.compare(i, 2, "/*") == 0) {
      const std::size_t close = s.find("*/", i + 2);
      if (close == std::string::npos) break;
      i = close + 1;
      continue;
    }
    if (c != '"') continue;
    std::size_t end = i + 1;
    while (end < s.size() && s[end] != '"') end += s[end] == '\\' ? 2 : 1;
    found.push_back(s.substr(i + 1, end - i - 1));
    i = end;
  }
  return found;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 2) {
    std::cerr << "usage: status_text_list OUT.cpp HEADER...\n";
    return 2;
  }
  std::ostringstream out;
  out << "// Made by status_text_list from the texts' headers; do not edit.\n"
         "#include <QtGlobal>\n\n#include \"translation/StatusTextList.h\"\n\n"
         "namespace translation {\nstd::span<const char* const> statusTexts() {\n"
         "  static const char* const texts[] = {\n";
  for (int i = 2; i < argc; ++i) {
    std::ifstream in(argv[i], std::ios::binary);
    if (!in) {
      std::cerr << "status_text_list: cannot read " << argv[i] << "\n";
      return 1;
    }
    const std::string header{std::istreambuf_iterator<char>(in), {}};
    for (std::string literal : literalsOf(header)) {
      // A leading "\r\n" only says that the text is appended to the line.
      if (literal.rfind("\\r\\n", 0) == 0) literal.erase(0, 4);
      if (!literal.empty()) out << "      QT_TRANSLATE_NOOP(\"StatusText\", \"" << literal << "\"),\n";
    }
  }
  out << "  };\n  return texts;\n}\n}  // namespace translation\n";
  std::ofstream file(argv[1], std::ios::binary);
  file << out.str();
  return file ? 0 : 1;
}
