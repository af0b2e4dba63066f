// `adapters`: the attached adapters whose ids appear in the list.
#include "AdapterFields.h"
#include "Commands.h"
#include "ListForCommand.h"
#include "road/AttachedAdapters.h"
#include "update/ExchangeTexts.h"

namespace cli {

ExitCode adaptersCommand(const Options& options, Report& report) {
  ExitCode exit = kDone;
  const auto lines = readListFor(options, report, exit);
  if (!lines) return exit;
  const auto adapters = road::attachedAdapters(road::idsInList(*lines));
  if (adapters.empty()) return report.fail(texts::noDevice);
  for (const auto& adapter : adapters) {
    report.data(adapterLine(adapter));
    report.event("adapter", adapterFields(adapter));
  }
  return kDone;
}

}  // namespace cli
