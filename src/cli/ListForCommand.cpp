#include "ListForCommand.h"


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

std::optional<std::string> readLineFor(const Options& options, Report& report, ExitCode& exit) {
  const auto lines = readListFor(options, report, exit);
  if (!lines) return std::nullopt;
  if (options.row < lines->size()) return std::string((*lines)[options.row]);
  report.text("ringflash-cli: the list has no row " + std::to_string(options.row) + " (rows 0 to " +
              std::to_string(lines->size() - 1) + ")");
  exit = kUsage;
  return std::nullopt;
}

}  // namespace cli
