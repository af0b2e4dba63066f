#pragma once
#include <QString>

namespace platform {
// The text with a line break put into every line longer than `longest`
// characters, at most every `longest` characters and never inside a
// surrogate pair. A text view lays a line out whole, and the cost grows
// faster than its length: a megabyte on one line would hold the window for
// minutes, while the same text in short lines shows at once.
QString breakLongLines(const QString& text, qsizetype longest);
}  // namespace platform
