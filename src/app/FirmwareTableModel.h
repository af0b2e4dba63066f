#pragma once
#include <QAbstractTableModel>
#include <QStyledItemDelegate>

class ViewController;

// The table's binding to the controller, its data source: rows are asked for
// only as they are shown, so a long list costs nothing ahead of display.
class FirmwareTableModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Role { TitleRole = Qt::UserRole + 1, DetailRole };
  explicit FirmwareTableModel(ViewController* controller);
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  ViewController* controller_;
};

// Paints a row as its cell: the title over the detail line.
class FirmwareCellDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  static int rowHeight(const QFontMetrics& metrics);
};
