#include "Diagnostics.h"

#include <cstdio>
#include <mutex>

namespace platform {
namespace {

std::mutex& sinkMutex() {
  static std::mutex mutex;
  return mutex;
}

DiagnosticsSink& sink() {
  static DiagnosticsSink current = [](const std::string& line) {
    std::fprintf(stdout, "%s\n", line.c_str());
    std::fflush(stdout);
  };
  return current;
}

}  // namespace

void setDiagnosticsSink(DiagnosticsSink replacement) {
  std::lock_guard lock(sinkMutex());
  sink() = std::move(replacement);
}

void diagnose(const std::string& line) {
  std::lock_guard lock(sinkMutex());
  if (sink()) sink()(line);
}

}  // namespace platform
