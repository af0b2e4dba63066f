#include "AdapterPicture.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// Drawn by the SVG library itself, not by an image plugin that a system may
// lack; at twice the size shown, so that it stays sharp on a dense screen.
QIcon adapterPicture() {
  QSvgRenderer svg(QStringLiteral(":/images/adapter.svg"));
  QPixmap pixmap(256, 256);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  svg.render(&painter);
  return QIcon(pixmap);
}
