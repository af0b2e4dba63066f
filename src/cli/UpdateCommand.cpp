// `update ROW`: the whole road, from the list to the last piece, for one
// adapter or for several at once. Each adapter has an exchange of its own
// (its state, pacing and pieces); the image is downloaded and checked once
// and shared by all.
#include <QJsonObject>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>
#include <set>

#include "AdapterChoice.h"
#include "Commands.h"
#include "ExchangeSession.h"
#include "ListForCommand.h"
#include "ReplyReading.h"
#include "catalogue/CatalogueTexts.h"
#include "catalogue/FirmwareList.h"
#include "road/ChosenEntry.h"
#include "road/ImageDownload.h"
#include "road/SleepInhibitor.h"
#include "update/AdapterReports.h"
#include "update/ExchangeTexts.h"

namespace cli {
namespace {

using Clock = std::chrono::steady_clock;

// One adapter of the update, and how it went.
struct Target {
  platform::HidrawNode adapter;
  std::unique_ptr<ExchangeSession> session;
  bool pressed = false;
  ExitCode exit = kDone;
  bool written = false;   // its last piece went out
  std::string result;     // the text of its end
  const char* code = "";  // its result, as --json's "result" gives it
  double seconds = 0;
};

QString versionText(const std::array<std::int64_t, 3>& v) { return QString("%1.%2.%3").arg(v[0]).arg(v[1]).arg(v[2]); }

// The image, with its texts and events; absent when there is none to write.
std::optional<platform::Data> download(const std::string& line, Report& report, ExitCode& exit,
                                       catalogue::Fault& refusal) {
  report.text(texts::downloading);
  road::ImageDownload image = road::downloadImage(line, platform::UrlReadOptions::forImage());
  refusal = image.failure;
  if (image.failure != catalogue::Fault::none) {
    exit = report.fail(image.failure);
    return std::nullopt;
  }
  for (const char* text : image.statusTexts()) report.text(text);
  const auto bytes = static_cast<qint64>(image.image.size());
  report.event("download", {{"bytes", bytes}, {"pieces", bytes / static_cast<qint64>(update::reports::kPieceBytes)}});
  if (image.checked) report.event("checked", {});
  return std::move(image.image);
}

// Binds the target's exchange to its adapter and presses update there.
void press(Target& t, const update::FirmwareEntry& entry, update::WriteRules rules, Report& report) {
  const auto key = t.session->find(entry.vendorId, entry.productId, t.adapter.node);
  if (!key) {
    t.exit = report.fail(texts::noDevice, failureOf(update::Outcome::noAdapter), t.adapter.port);
    t.result = texts::noDevice;
    t.code = failureOf(update::Outcome::noAdapter).code;
    return;
  }
  t.pressed = t.session->updatePressed(entry, *key, rules);
  if (t.pressed) return;
  const auto end = t.session->endSoFar();
  t.result = t.session->lastText();
  t.code = failureOf(end.value_or(update::Outcome::noAdapter)).code;
  t.exit = report.failed(t.result, failureOf(end.value_or(update::Outcome::noAdapter)), t.adapter.port);
}

void sayResult(const Target& t, Report& report) {
  report.event("result", {{"port", QString::fromStdString(t.adapter.port)}, {"result", QString::fromUtf8(t.code)}});
}

// Each adapter's end as a script reads it: its result, and the event of a
// write done or of a failure.
// With a confirmation to come, a written adapter's result is said then.
void finish(Target& t, const update::FirmwareEntry& entry, Clock::time_point start, bool confirm, Report& report) {
  const update::Outcome end = t.session->waitForEnd();
  t.seconds = std::chrono::duration<double>(t.session->endedAt() - start).count();
  t.result = t.session->lastText();
  const QString port = QString::fromStdString(t.adapter.port);
  t.written = end == update::Outcome::done;
  t.code = t.written ? "written" : failureOf(end).code;
  if (!(t.written && confirm)) sayResult(t, report);
  if (end == update::Outcome::upToDate) return;
  if (end != update::Outcome::done) {
    t.exit = report.failed(t.result, failureOf(end), t.adapter.port);
    return;
  }
  t.result = std::string_view(texts::updateDone).substr(2);
  report.event("done", {{"port", port}, {"version", versionText(entry.version)}});
}

void settle(Target& t, const update::Confirmation& c, Report& report) {
  const Failure failure = failureOf(c.result);
  t.code = failure.code;
  t.result = update::textOf(c);
  QJsonObject fields{{"port", QString::fromStdString(t.adapter.port)}, {"result", QString::fromUtf8(t.code)}};
  if (c.running) fields.insert("version", QString::fromStdString(cli::versionText(*c.running)));
  report.event("result", fields);
  if (failure.exit != kDone) t.exit = report.failed(t.result, failure, t.adapter.port);
}

// Each written adapter is asked again once it is back on its port, in
// whatever order they come back; the results are said as they come.
void confirmAll(std::vector<Target>& targets, double seconds, Report& report) {
  std::vector<Target*> open;
  for (Target& t : targets)
    if (t.written) open.push_back(&t);
  if (open.empty()) return;
  report.text(QString::asprintf(texts::reseatToConfirm, static_cast<int>(std::ceil(seconds))).toStdString());
  const auto until = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
  for (;;) {
    const std::uint64_t seen = ExchangeSession::returnsSoFar();
    std::erase_if(open, [&](Target* t) {
      const auto back = t->session->returned();
      if (back) settle(*t, *back, report);
      return back.has_value();
    });
    if (open.empty() || Clock::now() >= until) break;
    ExchangeSession::waitForReturns(seen, until);
  }
  for (Target* t : open) {
    t->code = kNotBackInTime.code;
    t->exit = kNotBackInTime.exit;
    t->result = QString::asprintf(texts::notBackInTime, static_cast<int>(std::ceil(seconds))).toStdString();
    report.text(t->result);
    sayResult(*t, report);
  }
}

// The command line asks the adapter first: neither the version it runs nor
// an older one is written unless asked for.
update::WriteRules rulesOf(const Options& options) { return {options.allowReinstall, options.allowOlder}; }

// One line per adapter: port, version before, result, seconds; and how many
// ended with each result.
void summarise(const std::vector<Target>& targets, Report& report) {
  std::map<std::string, int> counts;
  for (const Target& t : targets) {
    ++counts[t.code];
    const std::string before = t.session ? t.session->versionBefore() : "";
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f s", t.seconds);
    report.text(t.adapter.port + "\t" + (before.empty() ? "-" : before) + "\t" + Report::shown(t.result) + "\t" +
                seconds);
  }
  std::string line;
  for (const auto& [code, n] : counts) line += (line.empty() ? "" : ", ") + std::to_string(n) + " " + code;
  report.text("ringflash-cli: " + line);
}

// 0 when every adapter is done (written or up to date, and confirmed when
// asked); the failures' code when they share one, otherwise 1, the adapter
// side; without failures, 8 when one runs another version, else 7 when one
// was not back in time.
ExitCode overall(const std::vector<Target>& targets) {
  ExitCode worst = kDone;
  bool otherVersion = false, unconfirmed = false;
  for (const Target& t : targets) {
    otherVersion |= t.exit == kOtherVersion;
    unconfirmed |= t.exit == kUnconfirmed;
    if (t.exit == kDone || t.exit == kOtherVersion || t.exit == kUnconfirmed) continue;
    if (worst != kDone && t.exit != worst) return kAdapterFailed;
    worst = t.exit;
  }
  if (worst != kDone) return worst;
  return otherVersion ? kOtherVersion : unconfirmed ? kUnconfirmed : kDone;
}

ExitCode endWith(const std::vector<Target>& targets, bool several, Report& report) {
  if (several) summarise(targets, report);
  return overall(targets);
}

Target targetOf(platform::HidrawNode adapter, std::unique_ptr<ExchangeSession> session) {
  Target t;
  t.adapter = std::move(adapter);
  t.session = std::move(session);
  return t;
}

}  // namespace

ExitCode updateCommand(const Options& options, Report& report) {
  ExitCode exit = kDone;
  const auto line = readLineFor(options, report, exit);
  if (!line) return exit;
  update::FirmwareEntry entry;
  catalogue::ImageCheck check;
  if (const auto fault = road::entryFault(catalogue::splitFields(line->line), entry, check, line->signedList);
      fault != catalogue::Fault::none)
    return report.fail(fault);
  AdapterSet set = chooseAdaptersFor({entry.vendorId, entry.productId}, options.ports, options.all, report, exit);
  if (set.usable.empty()) return exit;

  const bool several = options.all || options.ports.size() > 1;
  std::vector<Target> targets;
  // Every session listens before the first monitor runs: each hears of every adapter.
  for (auto& adapter : set.usable)
    targets.push_back(
        targetOf(adapter, std::make_unique<ExchangeSession>(report, adapter.port, several, adapter.node)));
  for (auto& [adapter, refused] : set.refused) {
    targets.push_back(targetOf(adapter, nullptr));
    targets.back().exit = refused;
    targets.back().result = QString::asprintf(texts::accessDenied, adapter.node.c_str()).toStdString();
    targets.back().code = failureOf(update::Outcome::denied).code;
  }
  for (Target& t : targets)
    if (t.session) press(t, entry, rulesOf(options), report);
  for (const Target& t : targets)
    if (!t.pressed) sayResult(t, report);
  if (several) {
    std::set<std::string> nodes;
    for (const Target& t : targets) nodes.insert({t.adapter.node, t.adapter.port});
    targets.front().session->sayLateArrivals(std::move(nodes));
  }
  if (std::none_of(targets.begin(), targets.end(), [](const Target& t) { return t.pressed; }))
    return endWith(targets, several, report);

  catalogue::Fault refusal = catalogue::Fault::none;
  auto image = download(line->line, report, exit, refusal);
  if (!image) {
    for (Target& t : targets) {
      if (!t.pressed) continue;
      t.session->downloadFailed();
      t.code = failureOf(refusal).code, t.exit = exit, t.result = catalogue::textOf(refusal);
      sayResult(t, report);
    }
    return exit;
  }
  // On this thread, not the exchanges': the lock is asked for before any
  // start report, and a slow logind delays no adapter's pacing.
  auto awake = std::make_unique<road::SleepInhibitor>();
  if (!awake->holds()) report.text("ringflash-cli: " + awake->failure());
  const auto shared = std::make_shared<const platform::Data>(std::move(*image));
  const auto start = Clock::now();
  for (Target& t : targets)
    if (t.pressed) t.session->imageDownloaded(shared, entry);
  for (Target& t : targets)
    if (t.pressed) finish(t, entry, start, options.confirmWithin.has_value(), report);
  // The write is over: waiting for a person to re-seat an adapter must not
  // keep the system awake.
  awake.reset();
  if (options.confirmWithin) confirmAll(targets, *options.confirmWithin, report);
  return endWith(targets, several, report);
}

}  // namespace cli
