// Closing the window while an image is being written asks first: an adapter
// whose write stops halfway does not start again.
#include <QCloseEvent>
#include <QMessageBox>
#include <QPushButton>

#include "ViewController.h"
#include "WindowTexts.h"
#include "translation/StatusTranslation.h"

void ViewController::closeEvent(QCloseEvent* event) {
  if (!closeConfirmed_ && ask([](const update::AdapterExchange& e) { return e.transferring(); })) {
    event->ignore();
    askBeforeClosing();
    return;
  }
  QWidget::closeEvent(event);
}

void ViewController::askBeforeClosing() {
  if (closeQuestion_) {
    closeQuestion_->raise();
    return;
  }
  auto* box = new QMessageBox(QMessageBox::Warning, translation::translatedStatus(texts::closeTitle),
                              translation::translatedStatus(texts::closeQuestion), QMessageBox::NoButton, this);
  box->setObjectName(QStringLiteral("closeQuestion"));
  box->setAttribute(Qt::WA_DeleteOnClose);
  QPushButton* keep = box->addButton(translation::translatedStatus(texts::keepWriting), QMessageBox::RejectRole);
  QPushButton* stop = box->addButton(translation::translatedStatus(texts::stopAndClose), QMessageBox::DestructiveRole);
  box->setDefaultButton(keep);
  box->setEscapeButton(keep);
  connect(box, &QMessageBox::buttonClicked, this, [this, stop](QAbstractButton* clicked) {
    if (clicked != stop) return;
    closeConfirmed_ = true;
    close();
  });
  closeQuestion_ = box;
  box->open();
}
