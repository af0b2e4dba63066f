#include "DemoOutput.h"

#include <cstdio>
#include <iostream>
#include <mutex>

void say(const std::string& line) {
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::cout << line << std::endl;
}

std::string jsonString(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string sentLine(const char* kind, const platform::Data& report) {
  std::string line = std::string("sent: ") + kind + " " + std::to_string(report.size());
  for (std::size_t i = 0; i < report.size() && i < 16; ++i) {
    char hex[4];
    std::snprintf(hex, sizeof hex, " %02x", report[i]);
    line += hex;
  }
  return line;
}
