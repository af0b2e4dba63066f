// `lens`: the id of the lens on the adapter, as the adapter image button asks.
#include "AdapterChoice.h"
#include "Commands.h"
#include "LensQuery.h"
#include "ListForCommand.h"
#include "update/ExchangeTexts.h"

namespace cli {

ExitCode lensCommand(const Options& options, Report& report) {
  ExitCode exit = kDone;
  const auto list = readListFor(options, report, exit);
  if (!list) return exit;
  const auto adapter = chooseAdapterFor(
      road::idsInList(*list->lines), options.ports.empty() ? std::string() : options.ports.front(), true, report, exit);
  if (!adapter) return exit;
  ExchangeSession session(report, adapter->port, false, adapter->node);
  update::Outcome outcome;
  const auto reply = queryLens(session, *adapter, outcome);
  if (!reply) {
    if (session.lastText().empty()) return report.fail(texts::noDeviceForLens, failureOf(outcome), adapter->port);
    return report.failed(session.lastText(), failureOf(outcome), adapter->port);
  }
  report.data(reply->lensId + "\n");
  report.event("lens", {{"port", QString::fromStdString(adapter->port)},
                        {"lens", QString::fromStdString(reply->lensId)},
                        {"version", QString::fromStdString(reply->version)}});
  return kDone;
}

}  // namespace cli
