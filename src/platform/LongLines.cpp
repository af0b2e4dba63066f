#include "LongLines.h"

namespace platform {

QString breakLongLines(const QString& text, qsizetype longest) {
  if (longest < 2) return text;
  QString out;
  out.reserve(text.size() + text.size() / longest + 1);
  qsizetype lineLength = 0;
  for (const QChar c : text) {
    if (c == QLatin1Char('\n')) {
      lineLength = 0;
    } else if (lineLength >= longest && !c.isLowSurrogate()) {
      out += QLatin1Char('\n');
      lineLength = 0;
    }
    out += c;
    if (c != QLatin1Char('\n')) ++lineLength;
  }
  return out;
}

}  // namespace platform
