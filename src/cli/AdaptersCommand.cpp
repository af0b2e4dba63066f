// `adapters`: the attached adapters whose ids appear in the list.
#include "AdapterFields.h"
#include "Commands.h"
#include "ExchangeSession.h"
#include "LensQuery.h"
#include "ListForCommand.h"
#include "road/AttachedAdapters.h"
#include "update/ExchangeTexts.h"

namespace cli {

ExitCode adaptersCommand(const Options& options, Report& report) {
  ExitCode exit = kDone;
  const auto list = readListFor(options, report, exit);
  if (!list) return exit;
  const auto adapters = road::attachedAdapters(road::idsInList(*list->lines));
  if (adapters.empty()) return report.fail(texts::noDevice, failureOf(update::Outcome::noAdapter));
  std::optional<ExchangeSession> session;
  for (const auto& adapter : adapters) {
    QJsonObject fields = adapterFields(adapter);
    std::string line = adapterLine(adapter);
    if (options.query && !adapter.denied) {
      if (!session) session.emplace(report, adapter.port);
      update::Outcome outcome;
      if (const auto reply = queryLens(*session, adapter, outcome)) {
        fields.insert("version", QString::fromStdString(reply->version));
        fields.insert("lens", QString::fromStdString(reply->lensId));
        line.insert(line.size() - 1, "\t" + reply->version + "\t" + reply->lensId);
      } else {
        // A script learns why this adapter has no version, not only that it has none.
        fields.insert("failed", QString::fromUtf8(failureOf(outcome).code));
        line.insert(line.size() - 1, "\t-\t-");
      }
    }
    report.data(line);
    report.event("adapter", fields);
  }
  return kDone;
}

}  // namespace cli
