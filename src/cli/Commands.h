#pragma once
#include "ExitCode.h"
#include "Options.h"
#include "Report.h"

namespace cli {
ExitCode listCommand(const Options& options, Report& report);
ExitCode describeCommand(const Options& options, Report& report);
ExitCode adaptersCommand(const Options& options, Report& report);
ExitCode lensCommand(const Options& options, Report& report);
ExitCode updateCommand(const Options& options, Report& report);
ExitCode mirrorCommand(const Options& options, Report& report);
}  // namespace cli
