#include "StatusLines.h"

QString lastLines(const QString& text, int count) {
  qsizetype at = text.size();
  for (int breaks = 0; breaks < count; ++breaks) {
    at = text.lastIndexOf(QStringLiteral("\r\n"), at - 1);
    if (at < 0) return text;
    if (at == 0 && breaks + 1 < count) return text;
  }
  return text.mid(at + 2);
}
