#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ListSignature.h"

// One step of a timed script: at `seconds` after the list is shown.
struct ScriptStep {
  enum class Action { update, lens, row, unplug, plug, poke };
  double seconds = 0;
  Action action = Action::update;
  int row = 0;  // for Action::row
};

struct DemoOptions {
  std::optional<std::string> server;  // a running firmware server to use instead of the bundled one
  int row = 0;
  bool headless = false;
  bool update = false;
  bool lens = false;
  bool noAdapter = false;
  bool hidraw = false;
  std::optional<std::pair<std::int64_t, std::int64_t>> adapterIds;
  std::array<std::uint8_t, 3> adapterVersion{1, 0, 0};
  std::uint16_t lensId = 0xFF;
  double replyDelay = 0.002;
  std::optional<int> refuseKind;  // the simulated adapter does not take these reports
  std::vector<ScriptStep> script;  // in time order
  std::string png = "ringflash-demo.png";
  std::vector<catalogue::PublicKey> trustedKeys;  // besides the built-in ones
  bool alteredList = false;  // the bundled server changes a byte of its signed list
};

// Returns no value (and prints why) when the arguments are not understood;
// prints the help and exits for --help.
std::optional<DemoOptions> parseDemoOptions(int argc, char* argv[]);
