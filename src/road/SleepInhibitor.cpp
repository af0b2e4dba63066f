#include "SleepInhibitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace road {
namespace {
constexpr int kCallTimeoutMs = 2000;
}

SleepInhibitor::SleepInhibitor() {
  QDBusMessage call = QDBusMessage::createMethodCall(
      QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
      QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
  call << QStringLiteral("sleep:shutdown:idle:handle-lid-switch") << QStringLiteral("ringflash")
       << QStringLiteral("Writing firmware into a lens mount adapter") << QStringLiteral("block");
  const QDBusMessage reply = QDBusConnection::systemBus().call(call, QDBus::Block, kCallTimeoutMs);
  if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
    lock_ = qvariant_cast<QDBusUnixFileDescriptor>(reply.arguments().first());
  if (!lock_.isValid())
    failure_ = "No sleep inhibitor lock (" + reply.errorMessage().toStdString() +
               "): keep the computer awake until the update has completed";
}

}  // namespace road
