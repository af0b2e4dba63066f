#include "EmulatedHidrawBed.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <umockdev.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace sim {
using namespace platform;  // the simulator stands in for the platform's devices
namespace {

// A vendor page with one 64-byte input and one 64-byte output report.
const std::vector<std::uint8_t> kDescriptor = {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x09, 0x02,
                                               0x15, 0x00, 0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40,
                                               0x81, 0x02, 0x09, 0x03, 0x95, 0x40, 0x91, 0x02, 0xC0};

gboolean answerIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer) {
  const unsigned long request = umockdev_ioctl_client_get_request(client);
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  if (request == HIDIOCGRDESCSIZE) {
    UMockdevIoctlData* size = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), nullptr);
    const int n = static_cast<int>(kDescriptor.size());
    std::memcpy(size->data, &n, sizeof n);
    umockdev_ioctl_client_complete(client, 0, 0);
    return TRUE;
  }
  if (request == HIDIOCGRDESC) {
    UMockdevIoctlData* desc = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_report_descriptor), nullptr);
    std::memcpy(desc->data + sizeof(__u32), kDescriptor.data(), kDescriptor.size());
    umockdev_ioctl_client_complete(client, 0, 0);
    return TRUE;
  }
  umockdev_ioctl_client_complete(client, -1, ENOTTY);
  return TRUE;
}

// Reads go to the node itself, so that poll() blocks for real.
gboolean passRead(UMockdevIoctlBase*, UMockdevIoctlClient*, gpointer) { return FALSE; }

gboolean takeWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer node) {
  UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
  if (static_cast<EmulatedHidrawNode*>(node)->taken(arg->data, arg->data_len))
    umockdev_ioctl_client_complete(client, static_cast<glong>(arg->data_len), 0);
  else umockdev_ioctl_client_complete(client, -1, EIO);
  return TRUE;
}

std::string hex4(std::int64_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "%04llx", static_cast<unsigned long long>(value & 0xFFFF));
  return text;
}

}  // namespace

EmulatedHidrawBed::EmulatedHidrawBed() : testbed_(umockdev_testbed_new()) {
  gchar* root = umockdev_testbed_get_root_dir(testbed_);
  root_ = root;
  g_free(root);
}

EmulatedHidrawBed::~EmulatedHidrawBed() {
  for (int fd : fifos_) ::close(fd);
}

std::string EmulatedHidrawBed::addAdapter(const char* name, const AdapterSettings& settings, int port,
                                          EmulatedHidrawNode* node) {
  const std::string portPath = std::to_string(port), vendor = hex4(settings.vendorId),
                    product = hex4(settings.productId);
  gchar* usb =
      umockdev_testbed_add_device(testbed_, "usb", ("1-" + portPath).c_str(), nullptr, "idVendor", vendor.c_str(),
                                  "idProduct", product.c_str(), "product", settings.product.c_str(), "busnum", "1",
                                  "devpath", portPath.c_str(), nullptr, "DEVTYPE", "usb_device", nullptr);
  if (!settings.serial.empty()) umockdev_testbed_set_attribute(testbed_, usb, "serial", settings.serial.c_str());
  gchar* intf = umockdev_testbed_add_device(testbed_, "usb", ("1-" + portPath + ":1.0").c_str(), usb, nullptr,
                                            "DEVTYPE", "usb_interface", nullptr);
  const std::string hidId = "0003:0000" + vendor + ":0000" + product;
  const std::string hidName = "0003:" + vendor + ":" + product + ".000" + portPath;
  gchar* hid = umockdev_testbed_add_device(testbed_, "hid", hidName.c_str(), intf, nullptr, "HID_ID", hidId.c_str(),
                                           "HID_NAME", ("Maker " + settings.product).c_str(), nullptr);
  umockdev_testbed_set_attribute_binary(testbed_, hid, "report_descriptor", const_cast<guint8*>(kDescriptor.data()),
                                        static_cast<gint>(kDescriptor.size()));
  std::string path = addNode(name, hid, node);
  g_free(usb), g_free(intf), g_free(hid);
  return path;
}

std::string EmulatedHidrawBed::addNode(const char* name, const std::string& hid, EmulatedHidrawNode* node) {
  const std::string devnode = std::string("/dev/") + name;
  // The node and its handler come before the device: its "add" may be acted on at once.
  if (node) attachNode(devnode, node);
  // Each node its own device number, as the kernel gives them: hidrawN is 240:N.
  const std::string minor = std::string(name).substr(std::string(name).find_first_of("0123456789"));
  const std::string number = "240:" + minor;
  gchar* raw = umockdev_testbed_add_device(testbed_, "hidraw", name, hid.c_str(), "dev", number.c_str(), nullptr,
                                           "DEVNAME", devnode.c_str(), "MAJOR", "240", "MINOR", minor.c_str(), nullptr);
  std::string path = raw;
  g_free(raw);
  parents_[path] = hid;
  return path;
}

std::string EmulatedHidrawBed::plugAgain(const std::string& syspath, const char* name, EmulatedHidrawNode* node) {
  return addNode(name, parents_.at(syspath), node);
}

void EmulatedHidrawBed::remove(const std::string& syspath) {
  umockdev_testbed_uevent(testbed_, syspath.c_str(), "remove");  // removing sends nothing of itself
  umockdev_testbed_remove_device(testbed_, syspath.c_str());
}

// A FIFO in packet mode keeps report boundaries, which a pty would not.
void EmulatedHidrawBed::attachNode(const std::string& devnode, EmulatedHidrawNode* node) {
  const std::string file = root_ + devnode;
  ::mkdir((root_ + "/dev").c_str(), 0755);
  if (::mkfifo(file.c_str(), 0666) != 0) throw std::runtime_error("mkfifo " + file);
  const int fd = ::open(file.c_str(), O_RDWR | O_NONBLOCK);
  if (fd < 0) throw std::runtime_error("open " + file);
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_DIRECT);
  fifos_.push_back(fd);
  node->attach(fd);
  UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
  g_signal_connect(handler, "handle-ioctl", G_CALLBACK(answerIoctl), node);
  g_signal_connect(handler, "handle-read", G_CALLBACK(passRead), node);
  g_signal_connect(handler, "handle-write", G_CALLBACK(takeWrite), node);
  GError* error = nullptr;
  if (!umockdev_testbed_attach_ioctl(testbed_, devnode.c_str(), handler, &error)) {
    const std::string message = error ? error->message : "unknown";
    g_clear_error(&error);
    throw std::runtime_error("umockdev attach " + devnode + ": " + message);
  }
}

}  // namespace sim
