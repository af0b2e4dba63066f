// `update ROW`: the whole road for one adapter, from the list to its last piece.
#include <QJsonObject>

#include "AdapterChoice.h"
#include "Commands.h"
#include "ExchangeSession.h"
#include "ListForCommand.h"
#include "catalogue/CatalogueTexts.h"
#include "catalogue/FirmwareList.h"
#include "road/ChosenEntry.h"
#include "road/ImageDownload.h"
#include "update/AdapterReports.h"
#include "update/ExchangeTexts.h"

namespace cli {
namespace {

QString versionText(const std::array<std::int64_t, 3>& v) { return QString("%1.%2.%3").arg(v[0]).arg(v[1]).arg(v[2]); }

// The image, with its texts and events; absent when there is none to write.
std::optional<platform::Data> download(const std::string& line, const std::string& port, Report& report,
                                       ExitCode& exit) {
  report.text(texts::downloading);
  road::ImageDownload image = road::downloadImage(line, platform::UrlReadOptions::forImage());
  if (image.failure) {
    exit = report.fail(image.failure, port);
    return std::nullopt;
  }
  for (const char* text : image.statusTexts()) report.text(text);
  const auto bytes = static_cast<qint64>(image.image.size());
  report.event("download", {{"port", QString::fromStdString(port)},
                            {"bytes", bytes},
                            {"pieces", bytes / static_cast<qint64>(update::reports::kPieceBytes)}});
  if (image.checked) report.event("checked", {{"port", QString::fromStdString(port)}});
  return std::move(image.image);
}

}  // namespace

ExitCode updateCommand(const Options& options, Report& report) {
  ExitCode exit = kDone;
  const auto line = readLineFor(options, report, exit);
  if (!line) return exit;
  update::FirmwareEntry entry;
  catalogue::ImageCheck check;
  if (const char* fault = road::entryFault(catalogue::splitFields(*line), entry, check)) return report.fail(fault);
  const auto adapter = chooseAdapterFor({{entry.vendorId, entry.productId}}, options.port, false, report, exit);
  if (!adapter) return exit;

  ExchangeSession session(report, adapter->port);
  const auto key = session.find(entry.vendorId, entry.productId, adapter->node);
  if (!key) return report.fail(texts::noDevice, failureOf(update::Outcome::noAdapter), adapter->port);
  if (!session.updatePressed(entry, *key)) {
    const auto end = session.endSoFar();
    return report.failed(session.lastText(), failureOf(end.value_or(update::Outcome::noAdapter)), adapter->port);
  }
  auto image = download(*line, adapter->port, report, exit);
  if (!image) {
    session.downloadFailed();
    return exit;
  }
  session.imageDownloaded(std::make_shared<const platform::Data>(std::move(*image)), entry);
  const update::Outcome end = session.waitForEnd();
  if (end != update::Outcome::done) return report.failed(session.lastText(), failureOf(end), adapter->port);
  report.event("done", {{"port", QString::fromStdString(adapter->port)}, {"version", versionText(entry.version)}});
  return kDone;
}

}  // namespace cli
