#pragma once
#include "Report.h"

namespace cli {

// SIGINT, SIGTERM, SIGHUP and SIGQUIT. Blocked from here on in every thread
// the program starts, and SIGPIPE ignored: call it first, before any thread
// exists.
void blockStopSignals();

// Takes them on a thread of its own: outside a write each ends the program
// at once, as it would without this; while an image is being written the
// first says that the adapter would be left unusable and the write goes on,
// and a second one within 5 s ends the program.
void guardStopSignals(Report& report);

}  // namespace cli
