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

// Steps a person can follow as printed: the rule the package installs, where
// a rule of one's own goes, the group rule that serves a remote shell (uaccess
// follows the seat), and how to make udev apply it.
std::string accessRuleAdvice(std::int64_t vendorId, std::int64_t productId) {
  char match[96];
  std::snprintf(match, sizeof match, "SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"%04llx\", ATTRS{idProduct}==\"%04llx\"",
                static_cast<unsigned long long>(vendorId), static_cast<unsigned long long>(productId));
  return std::string("this user may not open the adapter's node. To allow it:\n") +
         "  1. for the user at this computer's seat, put this line into /etc/udev/rules.d/70-ringflash.rules\n" +
         "     (the package installs the same rule in /usr/lib/udev/rules.d; the file must sort before\n" +
         "     73-seat-late.rules):\n" + "       " + match + ", TAG+=\"uaccess\"\n" +
         "  2. for users on a remote shell (ssh), which uaccess does not reach, add this line as well and put\n" +
         "     them into the group ('sudo usermod -aG plugdev NAME', then log in again):\n" + "       " + match +
         ", MODE=\"0660\", GROUP=\"plugdev\"\n" +
         "  3. apply it: 'sudo udevadm control --reload && sudo udevadm trigger', or unplug the adapter and plug it\n" +
         "     in again";
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
