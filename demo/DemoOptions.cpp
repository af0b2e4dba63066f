#include "DemoOptions.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace {

bool parseIds(const std::string& text, DemoOptions& o) {
  unsigned v = 0, p = 0;
  if (std::sscanf(text.c_str(), "%x:%x", &v, &p) != 2) return false;
  o.adapterIds = std::make_pair(std::int64_t{v}, std::int64_t{p});
  return true;
}

bool parseVersion(const std::string& text, DemoOptions& o) {
  unsigned a, b, c;
  if (std::sscanf(text.c_str(), "%u.%u.%u", &a, &b, &c) != 3 || a > 255 || b > 255 || c > 255) return false;
  o.adapterVersion = {static_cast<std::uint8_t>(a), static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(c)};
  return true;
}

}  // namespace

std::optional<DemoOptions> parseDemoOptions(int argc, char* argv[]) {
  DemoOptions o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    const std::string value = hasValue ? argv[i + 1] : "";
    bool ok = true;
    if (a == "--headless") o.headless = true;
    else if (a == "--update") o.update = true;
    else if (a == "--lens") o.lens = true;
    else if (a == "--no-adapter") o.noAdapter = true;
    else if (a == "--hidraw") o.hidraw = true;
    else if (a == "--server" && hasValue) o.server = value, ++i;
    else if (a == "--row" && hasValue) o.row = std::atoi(value.c_str()), ++i;
    else if (a == "--png" && hasValue) o.png = value, ++i;
    else if (a == "--adapter" && hasValue) ok = parseIds(value, o), ++i;
    else if (a == "--adapter-version" && hasValue) ok = parseVersion(value, o), ++i;
    else if (a == "--lens-id" && hasValue) o.lensId = static_cast<std::uint16_t>(std::strtoul(value.c_str(), nullptr, 16)), ++i;
    else ok = false;
    if (!ok) {
      std::cerr << "usage: ringflash-demo [--server URL] [--row N] [--headless] [--update] [--lens] "
                   "[--adapter VID:PID] [--adapter-version X.Y.Z] [--lens-id HEX] [--no-adapter] [--hidraw] "
                   "[--png FILE]"
                << std::endl;
      return std::nullopt;
    }
  }
  return o;
}
