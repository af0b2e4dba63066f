#include "Accessibility.h"

#include <QAccessible>
#include <QEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

namespace {

class RowKeys : public QObject {
 public:
  RowKeys(QTableView* table, std::function<void()> selected)
      : QObject(table), table_(table), selected_(std::move(selected)) {}

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Space) return false;
    const QModelIndex current = table_->currentIndex();
    if (!current.isValid() || !table_->selectionModel()) return false;
    table_->selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selected_();
    return true;
  }

 private:
  QTableView* table_;
  std::function<void()> selected_;
};

}  // namespace

void selectRowsByKeyboard(QTableView* table, std::function<void()> selected) {
  table->installEventFilter(new RowKeys(table, std::move(selected)));
}

namespace {
void toAssistiveTechnology(QWidget* statusLine, const QString& announcement) {
  QAccessibleValueChangeEvent event(statusLine, announcement);
  QAccessible::updateAccessibility(&event);
}
StatusAnnouncer announcer = toAssistiveTechnology;
}  // namespace

void setStatusAnnouncer(StatusAnnouncer to) { announcer = to ? to : toAssistiveTechnology; }

void announceStatus(QWidget* statusLine, const QString& added) { announcer(statusLine, added.trimmed()); }
