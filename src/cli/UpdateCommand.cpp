// `update ROW`: the whole road for one adapter.
#include "Commands.h"

namespace cli {
ExitCode updateCommand(const Options&, Report& report) { return report.fail("not yet", Failure{"not-yet", kUsage}); }
}  // namespace cli
