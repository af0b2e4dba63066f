#include <QStringList>

#include "Completion.h"
#include "platform/hidraw/HidrawNodes.h"

namespace cli {

QString attachedPorts() {
  QStringList ports;
  for (const platform::HidrawNode& node : platform::attachedHidrawNodes()) {
    const QString port = QString::fromStdString(node.port);
    // A device with several HID interfaces has a node for each, all on one port.
    if (!port.isEmpty() && !ports.contains(port)) ports << port;
  }
  return ports.isEmpty() ? QString() : ports.join('\n') + '\n';
}

}  // namespace cli
