#pragma once
#include <QStringList>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ListSignature.h"

namespace cli {

struct Options {
  std::string command;             // list, describe, adapters, lens, update, mirror
  std::size_t row = 0;             // describe, update
  std::vector<std::string> ports;  // --adapter: the USB port paths of the adapters to use
  bool all = false;                // update: every attached adapter of the entry's ids
  bool json = false;
  bool query = false;
  bool allowReinstall = false;  // update: write an adapter that already runs the entry's version
  bool allowOlder = false;      // update: write an adapter that runs a newer version
  // update: wait this long for each written adapter to be plugged in again
  // and say the version written; none: the write is the end.
  std::optional<double> confirmWithin;
  std::string folder;  // mirror: the folder to write
  std::string mirror;  // --mirror: every URL is read from this offline mirror
  std::string listAddress;
  std::vector<catalogue::PublicKey> trustedKeys;  // --trusted-key: besides the built-in ones
};

// Reads the command line. Prints the help, the version, a shell's completion
// or the attached ports (exit code 0), or what is wrong with it (exit code 2),
// and then gives no options.
struct Parsed {
  std::optional<Options> options;
  int exitCode = 0;
};
Parsed parseOptions(const QStringList& arguments, const std::string& defaultServer);

}  // namespace cli
