#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

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
  std::string png = "ringflash-demo.png";
};

// Returns no value (and prints why) when the arguments are not understood.
std::optional<DemoOptions> parseDemoOptions(int argc, char* argv[]);
