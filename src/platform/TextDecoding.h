#pragma once
#include <optional>
#include <string>

#include "Data.h"

namespace platform {
// Whether the bytes are UTF-8 as RFC 3629 has it: shortest forms only, no
// surrogates, nothing above U+10FFFF.
bool isUTF8(const Data& bytes);
// Text from GB 18030 bytes, as UTF-8; fails on bytes that are not valid in it.
std::optional<std::string> stringFromGB18030(const Data& bytes);
}
