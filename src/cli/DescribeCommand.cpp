// `describe ROW`: the entry's description, decoded, on standard output.
#include "Commands.h"
#include "ListForCommand.h"
#include "platform/VisibleText.h"
#include "road/ChosenEntry.h"

namespace cli {

ExitCode describeCommand(const Options& options, Report& report) {
  ExitCode exit = kDone;
  const auto line = readLineFor(options, report, exit);
  if (!line) return exit;
  const road::ChosenEntry chosen = road::chooseEntry(line->line, platform::UrlReadOptions::forText(), line->signedList);
  if (chosen.failure != catalogue::Fault::none) return report.fail(chosen.failure);
  std::string text = platform::visibleLines(chosen.description);
  if (text.empty() || text.back() != '\n') text += '\n';
  report.data(text);
  return kDone;
}

}  // namespace cli
