#include "ListForCommand.h"

#include "catalogue/CatalogueTexts.h"
#include "catalogue/TrustedKeys.h"
#include "road/ListRead.h"

namespace cli {

std::optional<road::ListRead> readListFor(const Options& options, Report& report, ExitCode& exit) {
  auto keys = catalogue::builtInTrustedKeys();
  keys.insert(keys.end(), options.trustedKeys.begin(), options.trustedKeys.end());
  road::ListRead read = road::readList(options.listAddress, platform::UrlReadOptions::forText(), keys);
  if (!read.lines) {
    // An address that is not a URL is refused when the options are read.
    exit = report.fail(read.failure == catalogue::Fault::none ? catalogue::Fault::listNotRead : read.failure);
    return std::nullopt;
  }
  report.text(texts::listRead);
  report.event("list", {{"rows", static_cast<qint64>(read.lines->size())}});
  return read;
}

std::optional<ListLine> readLineFor(const Options& options, Report& report, ExitCode& exit) {
  const auto list = readListFor(options, report, exit);
  if (!list) return std::nullopt;
  const catalogue::ListLines& lines = *list->lines;
  if (options.row < lines.size()) return ListLine{std::string(lines[options.row]), list->signedList};
  exit = report.fail("ringflash-cli: the list has no row " + std::to_string(options.row) + " (rows 0 to " +
                         std::to_string(lines.size() - 1) + ")",
                     Failure{"no-such-row", kUsage});
  return std::nullopt;
}

}  // namespace cli
