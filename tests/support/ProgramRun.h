#pragma once
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// A program run as a child of this process, its standard output and error
// read as they come.
struct ProgramRun {
  int exit = -1;  // 128 + the signal when a signal ended it
  std::string out, err;
};
// Called each time the program writes something, with what it wrote so far on standard error.
using Watch = std::function<void(pid_t, const std::string& err)>;
// Runs `args` (the program first). A run that does not end within `limit` is
// killed: a bound on a hang, not a timing.
ProgramRun runProgram(std::vector<std::string> args, const Watch& watch = {},
                      std::chrono::seconds limit = std::chrono::minutes(1));
