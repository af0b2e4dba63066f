#pragma once
#include <QProgressBar>

// A progress bar with a floating point value between its minimum and maximum,
// so that steps like 6.25 are kept as they are.
class ProgressIndicator : public QProgressBar {
  Q_OBJECT
 public:
  explicit ProgressIndicator(QWidget* parent = nullptr);
  double minValue() const { return min_; }
  double maxValue() const { return max_; }
  double doubleValue() const { return value_; }
  void setMinValue(double v);
  void setMaxValue(double v);
  void setDoubleValue(double v);

 signals:
  void doubleValueChanged(double value);

 private:
  void refresh();
  double min_ = 0, max_ = 100, value_ = 0;
};
