#pragma once
#include <QJsonObject>
#include <string>

#include "platform/hidraw/HidrawNodes.h"

namespace cli {
// An adapter as --json shows it.
QJsonObject adapterFields(const platform::HidrawNode& adapter);
// An adapter as a line of text: port, node, ids, product, serial, and "denied".
std::string adapterLine(const platform::HidrawNode& adapter);
// Vendor and product id as lsusb shows them, "f1a5:0001".
std::string idsText(std::int64_t vendorId, std::int64_t productId);
}  // namespace cli
