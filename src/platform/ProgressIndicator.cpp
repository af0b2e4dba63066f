#include "ProgressIndicator.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kSteps = 10000;
}

ProgressIndicator::ProgressIndicator(QWidget* parent) : QProgressBar(parent) {
  setRange(0, kSteps);
  setTextVisible(false);
  refresh();
}

void ProgressIndicator::setMinValue(double v) {
  min_ = v;
  refresh();
}
void ProgressIndicator::setMaxValue(double v) {
  max_ = v;
  refresh();
}

void ProgressIndicator::setDoubleValue(double v) {
  value_ = v;
  refresh();
  emit doubleValueChanged(value_);
}

void ProgressIndicator::refresh() {
  const double span = max_ - min_;
  double part = span > 0 ? (value_ - min_) / span : 0;
  if (!std::isfinite(part)) part = 0;
  setValue(static_cast<int>(std::lround(std::clamp(part, 0.0, 1.0) * kSteps)));
}
