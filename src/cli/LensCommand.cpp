// `lens`: the id of the lens on the adapter.
#include "Commands.h"

namespace cli {
ExitCode lensCommand(const Options&, Report& report) { return report.fail("not yet", Failure{"not-yet", kUsage}); }
}  // namespace cli
