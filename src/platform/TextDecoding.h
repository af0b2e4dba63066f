#pragma once
#include <optional>
#include <string>

#include "Data.h"

namespace platform {
// Text from bytes. Both fail on bytes that are not valid in the encoding;
// the result is UTF-8.
std::optional<std::string> stringFromUTF8(const Data& bytes);
std::optional<std::string> stringFromGB18030(const Data& bytes);
}
