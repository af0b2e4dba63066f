// `mirror DIR`: the list, its signature and everything its entries name,
// checked as an update checks them, written into DIR for use offline.
#include "Commands.h"
#include "catalogue/TrustedKeys.h"
#include "platform/Formatted.h"
#include "platform/VisibleText.h"
#include "road/ListRead.h"
#include "road/MirrorMaking.h"
#include "road/MirrorTexts.h"

namespace cli {
namespace {

ExitCode refused(const road::MirrorMade& made, Report& report, const std::string& folder) {
  using Problem = road::MirrorMade::Problem;
  switch (made.problem) {
    case Problem::listRefused: {
      road::ListRead read;
      read.failure = made.fault;
      read.comment = made.comment;
      return report.fail(road::failureTextOf(read), failureOf(made.fault));
    }
    case Problem::entryRefused:
      report.text(platform::formatted(texts::mirrorEntryRefused, static_cast<int>(made.row)));
      return report.fail(made.fault);
    case Problem::urlUnfit:
      return report.fail(platform::formatted(texts::mirrorUrlUnfit, static_cast<int>(made.row),
                                             platform::visibleField(made.path).c_str()),
                         kMirrorUrlUnfit);
    case Problem::notAMirror:
      return report.fail(platform::formatted(texts::mirrorNotAMirror, folder.c_str()), kNotAMirror);
    case Problem::notWritten:
    case Problem::none: break;
  }
  return report.fail(platform::formatted(texts::mirrorNotWritten, folder.c_str()), kMirrorNotWritten);
}

}  // namespace

ExitCode mirrorCommand(const Options& options, Report& report) {
  auto keys = catalogue::builtInTrustedKeys();
  keys.insert(keys.end(), options.trustedKeys.begin(), options.trustedKeys.end());
  const road::MirrorMade made = road::makeMirror(options.listAddress, keys, options.folder);
  const std::string folder = platform::visibleField(options.folder);
  if (made.problem != road::MirrorMade::Problem::none) return refused(made, report, folder);
  report.text(platform::formatted(texts::mirrorWritten, folder.c_str(), static_cast<int>(made.entries),
                                  static_cast<int>(made.files)));
  report.event("mirror", {{"folder", QString::fromStdString(options.folder)},
                          {"entries", static_cast<qint64>(made.entries)},
                          {"files", static_cast<qint64>(made.files)}});
  return kDone;
}

}  // namespace cli
