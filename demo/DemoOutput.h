#pragma once
#include <string>

#include "platform/Data.h"

// One line per event on standard output, whole even when threads print at once.
void say(const std::string& line);
std::string jsonString(const std::string& text);
// "sent: <kind> <length> <first 16 bytes in hex>"
std::string sentLine(const char* kind, const platform::Data& report);
