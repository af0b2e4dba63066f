#pragma once
#include <optional>
#include <string>
#include <vector>

#include "ExitCode.h"
#include "Report.h"
#include "platform/hidraw/HidrawNodes.h"
#include "road/AttachedAdapters.h"

namespace cli {

// The one adapter of these ids a command talks to: the one at `port`, or the
// only one attached. None, several, other ids at that port, and a node this
// user may not open are each said with the window's text (and, for the last,
// the udev rule to install); `exit` then holds the exit code.
std::optional<platform::HidrawNode> chooseAdapterFor(const std::vector<road::IdPair>& ids, const std::string& port,
                                                     bool forLens, Report& report, ExitCode& exit);

// The adapters one update writes at once: every one of the entry's ids with
// `all` (a node this user may not open is said and left out, with its exit
// code in `refused`), else the one at each of `ports`, or the only one. Empty,
// with `exit` set, when there is none to write.
struct AdapterSet {
  std::vector<platform::HidrawNode> usable;
  std::vector<std::pair<platform::HidrawNode, ExitCode>> refused;
};
AdapterSet chooseAdaptersFor(const road::IdPair& ids, const std::vector<std::string>& ports, bool all, Report& report,
                             ExitCode& exit);

}  // namespace cli
