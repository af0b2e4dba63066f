#include "StatusField.h"

#include "LongLines.h"

namespace {
// Wide enough that a text of ordinary lines is shown as it is.
constexpr qsizetype kLongestLineShown = 1000;
}  // namespace

// Read-only, yet reachable by Tab and readable with the arrow keys, as a
// keyboard or screen reader user reads it.
StatusField::StatusField(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  setTabChangesFocus(true);
}

void StatusField::setStringValue(const QString& value) {
  value_ = value;
  QString shown = value;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setPlainText(platform::breakLongLines(shown, kLongestLineShown));
  emit stringValueChanged(value_);
}
