#include "AdapterFields.h"

#include <cstdio>

#include "platform/VisibleText.h"

namespace cli {

std::string idsText(std::int64_t vendorId, std::int64_t productId) {
  char text[24];
  std::snprintf(text, sizeof text, "%04llx:%04llx", static_cast<unsigned long long>(vendorId),
                static_cast<unsigned long long>(productId));
  return text;
}

QJsonObject adapterFields(const platform::HidrawNode& adapter) {
  QJsonObject fields{{"port", QString::fromStdString(adapter.port)},
                     {"node", QString::fromStdString(adapter.node)},
                     {"ids", QString::fromStdString(idsText(adapter.vendorId, adapter.productId))},
                     {"product", QString::fromStdString(adapter.product)},
                     {"denied", adapter.denied}};
  if (!adapter.serial.empty()) fields.insert(QStringLiteral("serial"), QString::fromStdString(adapter.serial));
  return fields;
}

std::string adapterLine(const platform::HidrawNode& adapter) {
  std::string line = adapter.port + "\t" + adapter.node + "\t" + idsText(adapter.vendorId, adapter.productId) + "\t" +
                     platform::visibleField(adapter.product) + "\t" + platform::visibleField(adapter.serial);
  if (adapter.denied) line += "\tdenied";
  return line + "\n";
}

}  // namespace cli
