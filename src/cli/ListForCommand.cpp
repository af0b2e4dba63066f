#include "ListForCommand.h"

#include <QDateTime>

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
    if (read.failure == catalogue::Fault::none) read.failure = catalogue::Fault::listNotRead;
    exit = report.fail(road::failureTextOf(read), failureOf(read.failure));
    return std::nullopt;
  }
  report.text(texts::listRead);
  // The empty line after the last line break is no entry, and list shows none.
  const catalogue::ListLines& lines = *read.lines;
  const bool emptyLast = lines.size() > 0 && lines[lines.size() - 1].empty();
  const auto rows = static_cast<qint64>(lines.size() - (emptyLast ? 1 : 0));
  QJsonObject fields{{"rows", rows}, {"signed", read.signedList}};
  if (read.comment.signedAt) fields.insert(QStringLiteral("signed_at"), isoTimeOf(*read.comment.signedAt));
  if (read.comment.expiresAt) fields.insert(QStringLiteral("expires_at"), isoTimeOf(*read.comment.expiresAt));
  report.event("list", fields);
  return read;
}

QString isoTimeOf(std::int64_t unixSeconds) {
  return QDateTime::fromSecsSinceEpoch(unixSeconds, Qt::UTC).toString(Qt::ISODate);
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
