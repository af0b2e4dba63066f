#include "HidrawNodes.h"

#include <libudev.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "HidrawProperties.h"

namespace platform {
namespace {

std::string attribute(udev_device* dev, const char* name) {
  const char* value = dev ? udev_device_get_sysattr_value(dev, name) : nullptr;
  return value ? value : "";
}

std::optional<HidrawNode> nodeOf(udev_device* raw) {
  const char* devnode = udev_device_get_devnode(raw);
  const auto identity = hidrawIdentity(raw);
  if (!devnode || !identity) return std::nullopt;
  HidrawNode node;
  node.node = devnode;
  node.vendorId = identity->vendorId;
  node.productId = identity->productId;
  // The usb_device's own name is its bus and port path, "1-2.3".
  if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(raw, "usb", "usb_device")) {
    node.port = udev_device_get_sysname(usb);
    node.product = attribute(usb, "product");
    node.serial = attribute(usb, "serial");
  }
  node.denied = ::access(devnode, R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
  return node;
}

}  // namespace

std::string accessRuleAdvice(std::int64_t vendorId, std::int64_t productId) {
  char rule[160];
  std::snprintf(rule, sizeof rule,
                "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"%04llx\", ATTRS{idProduct}==\"%04llx\", TAG+=\"uaccess\"",
                static_cast<unsigned long long>(vendorId), static_cast<unsigned long long>(productId));
  return std::string("add the udev rule '") + rule +
         "' to /usr/lib/udev/rules.d/70-ringflash.rules, then run 'udevadm control --reload && udevadm trigger'";
}

std::vector<HidrawNode> attachedHidrawNodes() {
  std::vector<HidrawNode> nodes;
  udev* context = udev_new();
  if (!context) return nodes;
  forEachHidrawDevice(context, [&](udev_device* raw) {
    if (auto node = nodeOf(raw)) nodes.push_back(std::move(*node));
  });
  udev_unref(context);
  std::sort(nodes.begin(), nodes.end(), [](const HidrawNode& a, const HidrawNode& b) {
    return a.node.size() != b.node.size() ? a.node.size() < b.node.size() : a.node < b.node;
  });
  return nodes;
}

}  // namespace platform
