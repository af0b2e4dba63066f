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
// UTF-8 text in the encoding of the user's locale (LC_CTYPE, once the program
// has set its locale), for a terminal that expects it; what that encoding
// lacks is approximated. Unchanged under a UTF-8 locale, and under C or POSIX.
std::string inLocaleEncoding(const std::string& utf8);
}
