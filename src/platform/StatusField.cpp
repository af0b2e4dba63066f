#include "StatusField.h"

StatusField::StatusField(QWidget* parent) : QPlainTextEdit(parent) { setReadOnly(true); }

void StatusField::setStringValue(const QString& value) {
  value_ = value;
  QString shown = value;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setPlainText(shown);
  emit stringValueChanged(value_);
}
