#include "MainQueue.h"

#include <QMetaObject>

namespace platform {
void mainQueueAsync(QObject* context, std::function<void()> block) {
  QMetaObject::invokeMethod(context, std::move(block), Qt::QueuedConnection);
}
}  // namespace platform
