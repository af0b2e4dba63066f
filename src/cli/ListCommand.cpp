// `list`: the rows as the window shows them, with each entry's ids and
// whether it can be chosen.
#include "AdapterFields.h"
#include "Commands.h"
#include "ListForCommand.h"
#include "catalogue/FirmwareList.h"
#include "platform/VisibleText.h"
#include "road/ChosenEntry.h"
#include "road/ListRow.h"

namespace cli {
namespace {

QJsonObject entryFields(std::size_t index, std::string_view line, bool signedList) {
  const road::ListRow row = road::rowOf(line);
  const auto fields = catalogue::splitFields(line);
  update::FirmwareEntry entry;
  catalogue::ImageCheck check;
  const catalogue::Fault fault = road::entryFault(fields, entry, check, signedList);
  const bool usable = fault == catalogue::Fault::none;
  QJsonObject object{{"row", static_cast<qint64>(index)},
                     {"title", QString::fromStdString(row.title)},
                     {"detail", QString::fromStdString(row.detail)},
                     {"version", QString::fromStdString(catalogue::fieldOf(fields, catalogue::fVersion))},
                     {"usable", usable}};
  if (!usable) {
    object.insert(QStringLiteral("why"), QString::fromStdString(Report::shown(catalogue::textOf(fault))));
    object.insert(QStringLiteral("code"), QString::fromUtf8(failureOf(fault).code));
  } else object.insert(QStringLiteral("ids"), QString::fromStdString(idsText(entry.vendorId, entry.productId)));
  return object;
}

std::string field(const QJsonObject& e, const char* name) {
  return platform::visibleField(e.value(name).toString().toStdString());
}

std::string entryLine(const QJsonObject& e) {
  const std::string tail = e.value("usable").toBool() ? field(e, "ids") : "-\t" + field(e, "why");
  return std::to_string(e.value("row").toInteger()) + "\t" + field(e, "title") + "\t" + field(e, "detail") + "\t" +
         tail + "\n";
}

}  // namespace

ExitCode listCommand(const Options& options, Report& report) {
  ExitCode exit = kDone;
  const auto list = readListFor(options, report, exit);
  if (!list) return exit;
  if (list->signedList && list->comment.signedAt) {
    std::string when = "ringflash-cli: the list was signed " + isoTimeOf(*list->comment.signedAt).toStdString();
    if (list->comment.expiresAt) when += ", valid until " + isoTimeOf(*list->comment.expiresAt).toStdString();
    report.text(when);
  }
  const catalogue::ListLines& lines = *list->lines;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    // The empty line after the last line break is a row of the window's
    // table, but no entry: it is not shown, and the rows keep their numbers.
    if (i + 1 == lines.size() && lines[i].empty()) break;
    const QJsonObject entry = entryFields(i, lines[i], list->signedList);
    report.data(entryLine(entry));
    report.event("entry", entry);
  }
  return kDone;
}

}  // namespace cli
