// ringflash-cli: the road of an update without a window, for scripts,
// repair shops and remote shells.
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>

#include "Commands.h"
#include "Options.h"
#include "Report.h"
#include "SignalGuard.h"
#include "platform/Mirror.h"
#include "translation/Language.h"

#ifndef RINGFLASH_FIRMWARE_SERVER
#error "RINGFLASH_FIRMWARE_SERVER must be set at build time"
#endif
#ifndef RINGFLASH_VERSION
#error "RINGFLASH_VERSION must be set at build time"
#endif

namespace {

cli::ExitCode run(const cli::Options& options, cli::Report& report) {
  if (options.command == "list") return cli::listCommand(options, report);
  if (options.command == "describe") return cli::describeCommand(options, report);
  if (options.command == "adapters") return cli::adaptersCommand(options, report);
  if (options.command == "lens") return cli::lensCommand(options, report);
  if (options.command == "mirror") return cli::mirrorCommand(options, report);
  return cli::updateCommand(options, report);
}

}  // namespace

int main(int argc, char* argv[]) {
  cli::blockStopSignals();
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("ringflash-cli"));
  QCoreApplication::setApplicationVersion(QStringLiteral(RINGFLASH_VERSION));
  const auto translator = translation::installTranslation();
  const cli::Parsed parsed = cli::parseOptions(QCoreApplication::arguments(), RINGFLASH_FIRMWARE_SERVER);
  if (!parsed.options) return parsed.exitCode;
  if (!parsed.options->mirror.empty()) platform::readFromMirror(parsed.options->mirror);
  // Made once and never destroyed: the signals' thread may speak up to the end.
  auto* report = new cli::Report(parsed.options->json);
  cli::guardStopSignals(*report);
  const int exit = run(*parsed.options, *report);
  std::fflush(nullptr);
  // Monitor threads never end; leave without waiting for them.
  std::_Exit(exit);
}
