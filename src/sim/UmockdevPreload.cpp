#include "UmockdevPreload.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sim {

void runUnderUmockdevPreload(char** argv) {
  const char* preload = std::getenv("LD_PRELOAD");
  if (preload && std::strstr(preload, "libumockdev-preload")) return;
  std::string value = "libumockdev-preload.so.0";
  if (preload && *preload) value += std::string(":") + preload;
  setenv("LD_PRELOAD", value.c_str(), 1);
  execv("/proc/self/exe", argv);
  std::perror("umockdev preload");
  std::_Exit(127);
}

}  // namespace sim
