#pragma once
#include <QString>

// The view of one table row: its title and its detail line. The table paints
// a cell filled by the controller each time a row is shown.
class tableViewCell {
 public:
  QString mTitle;
  QString mDetial;
};
