// The sleep inhibitor against a real D-Bus daemon on a private bus, with
// python-dbusmock's logind: the lock is held from the start report to the end
// of the transfer, however it ends.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

#include "app/StatusTexts.h"
#include "support/WindowFixture.h"

extern char** environ;

namespace {

// A helper process, started with posix_spawn from this code (a fork inside
// Qt would be hidden from ThreadSanitizer). Its standard output, if asked for,
// comes through a pipe.
struct Helper {
  pid_t pid = -1;
  int output = -1;
  bool start(std::vector<std::string> args, bool captureOutput) {
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    int pipeFds[2] = {-1, -1};
    if (captureOutput) {
      if (::pipe(pipeFds) != 0) return false;
      posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
      posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    }
    const bool ok = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput) {
      ::close(pipeFds[1]);
      output = pipeFds[0];
    }
    return ok;
  }
  std::string firstLine() const {
    std::string line;
    char c;
    while (::read(output, &c, 1) == 1 && c != '\n') line += c;
    return line;
  }
  void stop() {
    if (pid > 0) ::kill(pid, SIGKILL), ::waitpid(pid, nullptr, 0);
    if (output >= 0) ::close(output);
    pid = -1, output = -1;
  }
};

// One private bus for the test process: Qt keeps its system bus connection
// for the process's life. Started before anything asks for the system bus.
class PrivateSystemBus {
 public:
  static PrivateSystemBus& instance() {
    static PrivateSystemBus bus;
    return bus;
  }
  bool up() const { return !address_.isEmpty(); }
  QString address() const { return address_; }

 private:
  PrivateSystemBus() {
    if (!daemon_.start({"dbus-daemon", "--session", "--nofork", "--print-address=1"}, true)) return;
    address_ = QString::fromStdString(daemon_.firstLine()).trimmed();
    // The mock and Qt's system bus connection both find the bus here.
    setenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8().constData(), 1);
  }
  ~PrivateSystemBus() { daemon_.stop(); }
  Helper daemon_;
  QString address_;
};

QDBusMessage logindCall(const char* method) {
  return QDBusConnection::systemBus().call(QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QString::fromLatin1(method)));
}

// The locks logind holds, as "what/who/mode".
std::vector<std::string> inhibitors() {
  const QDBusMessage reply = logindCall("ListInhibitors");
  std::vector<std::string> locks;
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return locks;
  const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
  list.beginArray();
  while (!list.atEnd()) {
    QString what, who, why, mode;
    uint uid, pid;
    list.beginStructure();
    list >> what >> who >> why >> mode >> uid >> pid;
    list.endStructure();
    locks.push_back((what + "/" + who + "/" + mode).toStdString());
  }
  list.endArray();
  return locks;
}

}  // namespace

class Inhibitor : public WindowFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(PrivateSystemBus::instance().up());
    WindowFixture::SetUp();
  }
  void TearDown() override {
    WindowFixture::TearDown();
    mock_.stop();
  }
  void startLogind() {
    ASSERT_TRUE(mock_.start({"/usr/bin/python3", "-m", "dbusmock", "--template", "logind", "--system"}, false));
    ASSERT_TRUE(waitFor(
        [] {
          return QDBusConnection::systemBus().interface()->isServiceRegistered(
              QStringLiteral("org.freedesktop.login1"));
        },
        15000));
  }
  bool lockHeld(bool held) {
    return waitFor([&] { return inhibitors().size() == (held ? 1u : 0u); }, 10000);
  }
  // An update of 48 pieces that the adapter answers slowly enough to look at.
  std::shared_ptr<sim::SimulatedAdapter> startUpdate() {
    auto adapter = plug(kProductB, 0.02);
    openWindow();
    clickRow(kRow2048);
    pressUpdate();
    return adapter;
  }
  Helper mock_;
};

TEST_F(Inhibitor, HeldFromTheStartReportToTheLastPiece) {
  startLogind();
  auto adapter = startUpdate();
  ASSERT_TRUE(lockHeld(true));
  EXPECT_EQ(inhibitors().at(0), "sleep:shutdown:idle:handle-lid-switch/ringflash/block");
  EXPECT_FALSE(adapter->received().empty());  // the start report had gone out
  ASSERT_TRUE(waitForStatus("请关闭程序后取下接环", 20000));
  EXPECT_TRUE(lockHeld(false));
}

TEST_F(Inhibitor, ReleasedWhenAPieceIsNotTakenOrTheAdapterLeaves) {
  startLogind();
  auto adapter = startUpdate();
  ASSERT_TRUE(lockHeld(true));
  adapter->changeSettings([](auto& s) { s.refuseKind = static_cast<int>(sim::ReceivedReport::Kind::data); });
  ASSERT_TRUE(waitForStatus("固件写入失败", 20000));
  EXPECT_TRUE(lockHeld(false));

  adapter->changeSettings([](auto& s) {
    s.refuseKind.reset();
    s.unplugAfterDataReports = 5;
  });
  bus->unplug(adapter);
  bus->plug(adapter);
  ASSERT_TRUE(waitFor([&] { return vc->isConnected(); }));
  vc->updateBtn->setEnabled(true);  // left disabled by the failed transfer
  pressUpdate();
  ASSERT_TRUE(lockHeld(true));
  ASSERT_TRUE(waitForStatus(texts::disconnected, 20000));
  EXPECT_TRUE(lockHeld(false));
}

TEST_F(Inhibitor, ReleasedWhenTheWindowCloses) {
  startLogind();
  startUpdate();
  ASSERT_TRUE(lockHeld(true));
  vc.reset();
  EXPECT_TRUE(lockHeld(false));
}

TEST_F(Inhibitor, WithoutLogindTheUpdateGoesOn) {
  auto adapter = startUpdate();  // nobody owns org.freedesktop.login1 on this bus
  ASSERT_TRUE(waitForStatus("请关闭程序后取下接环", 20000));
  EXPECT_EQ(adapter->receivedImage(), paddedImage(kRow2048));
}
