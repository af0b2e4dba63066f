// The window for everyone: what a screen reader reads of it, the keyboard's
// way through it, the busy pointer while it is blocked, and English.
#include <QAccessible>
#include <QApplication>
#include <QGuiApplication>
#include <QTableView>
#include <atomic>
#include <thread>

#include "app/Accessibility.h"
#include "catalogue/CatalogueTexts.h"
#include "support/WindowFixture.h"
#include "translation/Language.h"

namespace {

QString accessible(QObject* object, QAccessible::Text kind) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
  return iface ? iface->text(kind) : QString();
}

std::vector<QString> announced;
void recordAnnouncement(QWidget*, const QString& announcement) { announced.push_back(announcement); }

class WindowForEveryone : public WindowFixture {
 protected:
  void activate() {
    vc->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(vc.get()));
  }
  QWidget* tabFrom(QWidget* widget) {
    widget->setFocus(Qt::TabFocusReason);
    QTest::keyClick(widget, Qt::Key_Tab);
    return QApplication::focusWidget();
  }
};

TEST_F(WindowForEveryone, ControlsAndRowsHaveNamesAndDescriptions) {
  openWindow();
  EXPECT_EQ(accessible(vc->imagebutton, QAccessible::Name).toStdString(), "查询镜头ID");
  EXPECT_EQ(accessible(vc->updateBtn, QAccessible::Name).toStdString(), "更新固件");
  EXPECT_EQ(accessible(vc->tableView, QAccessible::Name).toStdString(), "固件列表");
  EXPECT_EQ(accessible(vc->message, QAccessible::Name).toStdString(), "状态");
  EXPECT_EQ(accessible(vc->processBar, QAccessible::Name).toStdString(), "写入进度");
  for (QObject* control :
       std::initializer_list<QObject*>{vc->imagebutton, vc->updateBtn, vc->tableView, vc->message, vc->processBar})
    EXPECT_FALSE(accessible(control, QAccessible::Description).isEmpty()) << control->objectName().toStdString();
  EXPECT_FALSE(vc->imagebutton->icon().isNull());  // the adapter's picture above the label

  QAccessibleInterface* table = QAccessible::queryAccessibleInterface(vc->tableView);
  ASSERT_TRUE(table && table->tableInterface());
  QAccessibleInterface* cell = table->tableInterface()->cellAt(kRow1000, 0);
  ASSERT_TRUE(cell);
  EXPECT_EQ(cell->text(QAccessible::Name).toStdString(), "EF-RF 转接环, 稳定版 1000 字节  Ver 1.0.12");
}

// Tab: image button, update button, table, status line; Enter or Space on
// the current row selects it as a click does.
TEST_F(WindowForEveryone, TheKeyboardReachesAndSelectsEverything) {
  openWindow();
  activate();
  clickRow(kRow1000);
  ASSERT_TRUE(vc->updateBtn->isEnabled());
  EXPECT_EQ(tabFrom(vc->imagebutton), vc->updateBtn.data());
  EXPECT_EQ(tabFrom(vc->updateBtn), vc->tableView.data());
  EXPECT_EQ(tabFrom(vc->tableView), vc->message.data());

  vc->tableView->setFocus();
  QTest::keyClick(vc->tableView, Qt::Key_Down);
  QTest::keyClick(vc->tableView, Qt::Key_Space);
  EXPECT_TRUE(waitForStatus(" EF-RF 转接环固件 1.1.0")) << status();
  QTest::keyClick(vc->tableView, Qt::Key_Down);
  QTest::keyClick(vc->tableView, Qt::Key_Return);
  EXPECT_TRUE(waitForStatus(" PK-NZ 转接环固件 2.0.1")) << status();
  EXPECT_EQ(vc->tableView->selectionModel()->selectedRows().front().row(), kRow2048);
}

TEST_F(WindowForEveryone, AChangeOfTheStatusLineIsAnnounced) {
  announced.clear();
  setStatusAnnouncer(recordAnnouncement);
  openWindow();
  pressImage();  // no row chosen: nothing happens, nothing is said
  clickRow(kRow1000);
  ASSERT_EQ(announced.size(), 2u);
  EXPECT_EQ(announced[0].toStdString(), "读取固件列表成功");
  EXPECT_EQ(announced[1].toStdString().rfind("EF-RF 转接环固件 1.0.12", 0), 0u) << announced[1].toStdString();
  // An appended text is said alone, not with the whole line before it.
  auto adapter = plug(kProductA);
  pressImage();
  EXPECT_TRUE(waitForStatus("镜头ID->0XFF")) << status();
  setStatusAnnouncer(nullptr);
  EXPECT_EQ(announced.back().toStdString(), "镜头ID->0XFF");
}

// The pointer shows that the window is busy for as long as a read blocks it,
// and comes back when the read ends, here by its deadline.
TEST_F(WindowForEveryone, ABlockingReadShowsTheBusyPointer) {
  platform::UrlReadOptions quick = platform::UrlReadOptions::forText();
  quick.deadlineSeconds = 1.0;
  textOptions = quick;
  openWindow();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  server.setBehaviour("/desc/ef-rf-1000.txt", FirmwareServer::Behaviour::of(FirmwareServer::Behaviour::Fault::stall));
  std::atomic<int> shapeDuringRead{-1};
  std::thread watcher([&] {
    for (int i = 0; i < 500 && server.requestCount("/desc/ef-rf-1000.txt") == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const QCursor* cursor = QGuiApplication::overrideCursor();
    shapeDuringRead = cursor ? cursor->shape() : Qt::ArrowCursor;
  });
  clickRow(kRow1000);
  watcher.join();
  EXPECT_EQ(shapeDuringRead, Qt::WaitCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_TRUE(statusHas("读取固件描述失败，请检查网络"));
}

// At start-up the window is on screen, drawn, with the busy pointer, while
// the list read blocks it; not absent until the read ends.
TEST_F(WindowForEveryone, AtStartUpTheWindowIsDrawnBusyWhileTheListIsRead) {
  struct PaintCount : QObject {
    std::atomic<int> paints{0};
    bool eventFilter(QObject*, QEvent* e) override {
      if (e->type() == QEvent::Paint) ++paints;
      return false;
    }
  } count;
  server.setBehaviour(kListPath, FirmwareServer::Behaviour::of(FirmwareServer::Behaviour::Fault::stall));
  platform::UrlReadOptions quick = platform::UrlReadOptions::forText();
  quick.deadlineSeconds = 1.0;
  vc = std::make_unique<ViewController>(QString::fromStdString(listUrl()));
  vc->setTextReadOptions(quick);
  vc->installEventFilter(&count);
  std::atomic<int> shapeDuringRead{-1}, paintsBeforeRead{-1};
  std::thread watcher([&] {
    for (int i = 0; i < 500 && server.requestCount(kListPath) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    paintsBeforeRead = count.paints.load();
    const QCursor* cursor = QGuiApplication::overrideCursor();
    shapeDuringRead = cursor ? cursor->shape() : Qt::ArrowCursor;
  });
  vc->showAndLoad();
  watcher.join();
  EXPECT_GE(paintsBeforeRead, 1);
  EXPECT_EQ(shapeDuringRead, Qt::WaitCursor);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(status(), texts::listFailed);
}

TEST_F(WindowForEveryone, UnderEnglishTheWindowSpeaksEnglish) {
  const auto translator = translation::installTranslation(QLocale(QStringLiteral("en_US")));
  ASSERT_TRUE(translator);
  openWindow();
  EXPECT_EQ(vc->imagebutton->text().toStdString(), "Ask lens ID");
  EXPECT_EQ(vc->updateBtn->text().toStdString(), "Update firmware");
  EXPECT_EQ(accessible(vc->tableView, QAccessible::Name).toStdString(), "Firmware list");
  EXPECT_EQ(status(), "Firmware list read");
  auto adapter = plug(kProductA);
  clickRow(kRow1000);
  pressImage();
  EXPECT_TRUE(waitForStatus("\r\nLens ID->0XFF", 10000)) << status();
}

}  // namespace
