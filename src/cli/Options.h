#pragma once
#include <QStringList>
#include <cstddef>
#include <optional>
#include <string>

namespace cli {

struct Options {
  std::string command;  // list, describe, adapters, lens, update
  std::size_t row = 0;  // describe, update
  std::string port;     // --adapter: the USB port path of the adapter to use
  bool json = false;
  bool query = false;
  std::string listAddress;
};

// Reads the command line. Prints the help or the version (exit code 0), or
// what is wrong with it (exit code 2), and then gives no options.
struct Parsed {
  std::optional<Options> options;
  int exitCode = 0;
};
Parsed parseOptions(const QStringList& arguments, const std::string& defaultServer);

}  // namespace cli
