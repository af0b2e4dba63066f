#pragma once
#include <string>
#include <string_view>

namespace platform {

// A text that came from a server or a device, as a terminal may be given it:
// every C0 and C1 control character and DEL written out as `\xHH`, so that
// no escape sequence can clear the screen, hide text, retitle the window or
// hide a link. Bytes that are not UTF-8 are written out the same way. A tab
// is written out too, so that it cannot shift tab-separated columns.
std::string visibleField(std::string_view text);
// The same for a text of several lines (a description): its line breaks and
// tabs stay, a "\r\n" becomes "\n".
std::string visibleLines(std::string_view text);

}  // namespace platform
