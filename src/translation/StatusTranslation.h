#pragma once
#include <QString>
#include <string_view>

namespace translation {
// The one place where a status text, as the engine, the catalogue or the
// command line give it, becomes the text shown in the user's language. A text
// formatted from a pattern (a version, a lens id, a node name) is recognised
// by its pattern and its values carried over. A leading "\r\n" stays; a text
// that is none of the tool's own (a firmware description) is shown as it is.
QString translatedStatus(std::string_view text);
}  // namespace translation
