#include "ListForCommand.h"

#include <cstdio>

#include "catalogue/CatalogueTexts.h"
#include "road/ListRead.h"

namespace cli {

std::optional<catalogue::ListLines> readListFor(const Options& options, Report& report, ExitCode& exit) {
  road::ListRead read = road::readList(options.listAddress, platform::UrlReadOptions::forText());
  if (!read.lines) {
    exit = report.fail(read.text ? read.text : texts::listFailed);
    return std::nullopt;
  }
  report.text(read.text);
  report.event("list", {{"rows", static_cast<qint64>(read.lines->size())}});
  return std::move(read.lines);
}

std::optional<std::string> lineFor(const catalogue::ListLines& lines, std::size_t row, ExitCode& exit) {
  if (row < lines.size()) return std::string(lines[row]);
  std::fprintf(stderr, "ringflash-cli: the list has no row %zu (rows 0 to %zu)\n", row, lines.size() - 1);
  exit = kUsage;
  return std::nullopt;
}

}  // namespace cli
