#include "StatusField.h"

#include "LongLines.h"

namespace {
// Wide enough that a text of ordinary lines is shown as it is.
constexpr qsizetype kLongestLineShown = 1000;
}  // namespace

StatusField::StatusField(QWidget* parent) : QPlainTextEdit(parent) { setReadOnly(true); }

void StatusField::setStringValue(const QString& value) {
  value_ = value;
  QString shown = value;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setPlainText(platform::breakLongLines(shown, kLongestLineShown));
  emit stringValueChanged(value_);
}
