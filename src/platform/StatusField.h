#pragma once
#include <QPlainTextEdit>
#include <QString>

// The status text field. It keeps its string value exactly as set (line breaks
// are "\r\n") and shows it over several lines; the user cannot edit it.
class StatusField : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit StatusField(QWidget* parent = nullptr);
  QString stringValue() const { return value_; }
  void setStringValue(const QString& value);

 signals:
  void stringValueChanged(const QString& value);

 private:
  QString value_;
};
