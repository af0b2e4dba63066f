#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ListSignature.h"

// One step of a timed script: at `seconds` after the list is shown.
struct ScriptStep {
  enum class Action { update, lens, row, unplug, plug, poke, close, sigterm, sighup, sigquit };
  double seconds = 0;
  Action action = Action::update;
  int row = 0;              // for Action::row
  std::size_t adapter = 0;  // for unplug, plug and poke: 0 is A, 1 is B, ...
};

// One simulated adapter, named A, B, C... in the order they are given.
struct AdapterOption {
  std::optional<std::pair<std::int64_t, std::int64_t>> ids;  // none: the selected row's
  std::optional<std::size_t> silentAfterPieces;              // answers nothing after this many pieces
  bool silentQuery = false;                                  // does not answer the query
  bool later = false;                                        // plugged in only by the script
  bool keepsVersion = false;  // after a re-seat it runs its old version, though written whole
};

struct DemoOptions {
  std::optional<std::string> server;  // a running firmware server to use instead of the bundled one
  std::optional<std::string> mirror;  // --mirror: every URL read from this offline mirror, no server started
  int row = 0;
  bool rowGiven = false;
  bool headless = false;
  bool update = false;
  bool lens = false;
  bool noAdapter = false;
  bool hidraw = false;
  std::vector<AdapterOption> adapters;  // at least one unless noAdapter
  std::array<std::uint8_t, 3> adapterVersion{1, 0, 0};
  std::uint16_t lensId = 0xFF;
  double replyDelay = 0.002;
  std::optional<int> refuseKind;   // the simulated adapter does not take these reports
  std::vector<ScriptStep> script;  // in time order
  double linger = 0;               // seconds to go on after the script's effects are over
  std::string png = "ringflash-demo.png";
  std::vector<catalogue::PublicKey> trustedKeys;  // besides the built-in ones
  bool alteredList = false;                       // the bundled server changes a byte of its signed list
};

// Returns no value (and prints why) when the arguments are not understood;
// prints the help and exits for --help.
std::optional<DemoOptions> parseDemoOptions(int argc, char* argv[]);
