// `list`: the rows as the window shows them, with each entry's ids and
// whether it can be chosen.
#include "AdapterFields.h"
#include "Commands.h"
#include "ListForCommand.h"
#include "catalogue/FirmwareList.h"
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
  }
  else object.insert(QStringLiteral("ids"), QString::fromStdString(idsText(entry.vendorId, entry.productId)));
  return object;
}

std::string entryLine(const QJsonObject& e) {
  const QString tail = e.value("usable").toBool() ? e.value("ids").toString() : "-\t" + e.value("why").toString();
  return QString("%1\t%2\t%3\t%4\n")
      .arg(e.value("row").toInteger())
      .arg(e.value("title").toString(), e.value("detail").toString(), tail)
      .toStdString();
}

}  // namespace

ExitCode listCommand(const Options& options, Report& report) {
  ExitCode exit = kDone;
  const auto list = readListFor(options, report, exit);
  if (!list) return exit;
  for (std::size_t i = 0; i < list->lines->size(); ++i) {
    const QJsonObject entry = entryFields(i, (*list->lines)[i], list->signedList);
    report.data(entryLine(entry));
    report.event("entry", entry);
  }
  return kDone;
}

}  // namespace cli
