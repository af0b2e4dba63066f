#include "FirmwareTableModel.h"

#include <QApplication>
#include <QPainter>

#include "ViewController.h"

FirmwareTableModel::FirmwareTableModel(ViewController* controller)
    : QAbstractTableModel(controller), controller_(controller) {}

int FirmwareTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : controller_->numberOfRows();
}

int FirmwareTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 1; }

QVariant FirmwareTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const tableViewCell* cell = controller_->tableViewViewForRow(index.row());
  switch (role) {
    case TitleRole: return cell->mTitle;
    case DetailRole: return cell->mDetial;
    case Qt::DisplayRole: return cell->mTitle + QLatin1Char('\n') + cell->mDetial;
    // What a screen reader says of the row: its title, detail and version.
    case Qt::AccessibleTextRole: return cell->mTitle + QStringLiteral(", ") + cell->mDetial;
    default: return {};
  }
}

int FirmwareCellDelegate::rowHeight(const QFontMetrics& metrics) { return metrics.height() * 2 + 8; }

QSize FirmwareCellDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return {200, rowHeight(option.fontMetrics)};
}

void FirmwareCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  opt.text.clear();
  QApplication::style()->drawControl(QStyle::CE_ItemViewItem, &opt, painter);
  const QRect area = option.rect.adjusted(6, 4, -6, -4);
  const int line = option.fontMetrics.height();
  painter->save();
  const bool selected = option.state & QStyle::State_Selected;
  painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
  QFont bold = option.font;
  bold.setBold(true);
  painter->setFont(bold);
  painter->drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(FirmwareTableModel::TitleRole).toString());
  painter->setFont(option.font);
  painter->drawText(QRect(area.left(), area.top() + line, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                    index.data(FirmwareTableModel::DetailRole).toString());
  painter->restore();
}
