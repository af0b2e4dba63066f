// The hidraw layer itself, unchanged, over an emulated /dev/hidraw node: a
// umockdev test bed stands in for sysfs, udev events and the device node.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <umockdev.h>
#include <unistd.h>
#include "platform/hidraw/HidrawManager.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include <linux/usbdevice_fs.h>
#include "devicelink/HIDDeviceMonitor.h"
#include "devicelink/RFDevice.h"
#include "platform/Dictionary.h"
#include "platform/NotificationCenter.h"
#include "platform/Thread.h"

#include "devicelink/SerialDeviceMonitor.h"
#include "devicelink/USBDeviceMonitor.h"
#include "platform/hidraw/HidrawProperties.h"
#include "sim/EmulatedHidrawBed.h"
#include "sim/UmockdevPreload.h"

namespace {

using platform::Data;

using sim::EmulatedHidrawNode;

// An adapter as these tests know it: version 3.1.4, lens 0x1234.
sim::AdapterSettings testAdapter(const char* product) {
  sim::AdapterSettings s;
  s.vendorId = 0xF1A5;
  s.productId = std::stoll(product, nullptr, 16);
  s.product = "Test adapter";
  s.version = {3, 1, 4};
  s.lensId = 0x1234;
  return s;
}

struct Events {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::string> seen;
  std::vector<HIDDevice> devices;
  std::vector<Data> data;
  std::vector<std::chrono::steady_clock::time_point> arrivals;
  std::vector<platform::NotificationCenter::Token> tokens;

  Events() {
    auto& c = platform::NotificationCenter::defaultCenter();
    tokens.push_back(c.addObserver(HIDDeviceConnected, [this](const auto& n) {
      std::lock_guard lock(mutex);
      devices.push_back(*platform::lookup<HIDDevice>(n.object, "device"));
      seen.push_back("connected");
      changed.notify_all();
    }));
    tokens.push_back(c.addObserver(HIDDeviceDisconnected, [this](const auto&) {
      std::lock_guard lock(mutex);
      seen.push_back("disconnected");
      changed.notify_all();
    }));
    tokens.push_back(c.addObserver(HIDDeviceDataReceived, [this](const auto& n) {
      std::lock_guard lock(mutex);
      data.push_back(*platform::lookup<Data>(n.object, "data"));
      arrivals.push_back(*platform::lookup<std::chrono::steady_clock::time_point>(n.object, "at"));
      seen.push_back("data");
      changed.notify_all();
    }));
  }
  ~Events() {
    for (auto t : tokens) platform::NotificationCenter::defaultCenter().removeObserver(t);
  }
  bool waitFor(std::size_t n) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10), [&] { return seen.size() >= n; });
  }
};

class Hidraw : public ::testing::Test {
 protected:
  // An adapter on USB bus 1 at `port`, its node answered by `node`.
  std::string addAdapter(const char* name, int port, EmulatedHidrawNode& node) {
    return bed.addAdapter(name, node.settings(), port, &node);
  }

  void startMonitor() {
    platform::setHIDManagerFactory(nullptr);  // the real hidraw layer
    auto monitor = std::make_shared<HIDDeviceMonitor>(std::vector<HIDMonitorData>{HIDMonitorData(0xF1A5, 1)}, 64);
    platform::Thread([monitor] { monitor->start(); }).start();
  }

  sim::EmulatedHidrawBed bed;
  UMockdevTestbed* testbed = bed.testbed();
  const std::string root = bed.root();
};

}  // namespace

TEST_F(Hidraw, PresentAdapterItsPropertiesAndAQueryRoundTrip) {
  EmulatedHidrawNode adapter(testAdapter("0001"));
  addAdapter("hidraw0", 2, adapter);
  Events events;
  startMonitor();
  ASSERT_TRUE(events.waitFor(1));
  HIDDevice device = events.devices.at(0);
  EXPECT_EQ(device.vendorId, 0xF1A5);
  EXPECT_EQ(device.productId, 1);
  EXPECT_EQ(device.reportSize, 64);
  EXPECT_EQ(device.name, "Test adapter");
  EXPECT_EQ(std::get<std::int64_t>(device.device->property("LocationID")), 0x01200000);

  Data query{0x95, 0x27, 0x68, 0x18, 0x02, 0x02};
  const auto asked = std::chrono::steady_clock::now();
  EXPECT_TRUE(RFDevice(device).write(query));
  ASSERT_TRUE(events.waitFor(2));
  {
    const auto writes = adapter.writes();
    ASSERT_EQ(writes.size(), 1u);
    Data expected(65, 0);
    std::copy(query.begin(), query.end(), expected.begin() + 1);
    EXPECT_EQ(writes[0], expected);  // the report number 0, then the 64 report bytes
  }
  std::lock_guard lock(events.mutex);
  ASSERT_EQ(events.data.size(), 1u);
  EXPECT_EQ(events.data[0].size(), 64u);
  EXPECT_EQ(events.data[0][16], 0x12);
  // The pause before the next piece is counted from the reply's arrival.
  EXPECT_GE(events.arrivals.at(0), asked);
  EXPECT_LE(events.arrivals.at(0), std::chrono::steady_clock::now());
}

TEST_F(Hidraw, ArrivalsAndRemovalsWhileTheMonitorRuns) {
  Events events;
  startMonitor();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EmulatedHidrawNode other(testAdapter("0009")), adapter(testAdapter("0001"));
  addAdapter("hidraw1", 3, other);  // does not match
  const std::string path = addAdapter("hidraw2", 4, adapter);
  ASSERT_TRUE(events.waitFor(1));
  bed.remove(path);
  ASSERT_TRUE(events.waitFor(2));
  std::lock_guard lock(events.mutex);
  EXPECT_EQ(events.seen, (std::vector<std::string>{"connected", "disconnected"}));
  EXPECT_EQ(events.devices.at(0).productId, 1);
}

// A node the user may not open: the monitor says so, with the node, and
// announces no device; its departure is said too.
TEST_F(Hidraw, ANodeThatMayNotBeOpenedIsAnnouncedAsDenied) {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::pair<std::string, bool>> denied;
  auto token = platform::NotificationCenter::defaultCenter().addObserver(HIDDeviceAccessDenied, [&](const auto& n) {
    std::lock_guard lock(mutex);
    denied.emplace_back(*platform::lookup<std::string>(n.object, "node"), *platform::lookup<bool>(n.object, "present"));
    changed.notify_all();
  });
  platform::setNodeOpener([](const char*, int) {
    errno = EACCES;
    return -1;
  });
  Events events;
  EmulatedHidrawNode adapter(testAdapter("0001"));
  const std::string path = addAdapter("hidraw7", 7, adapter);
  startMonitor();
  auto seen = [&](std::pair<std::string, bool> what) {
    std::unique_lock lock(mutex);
    return changed.wait_for(lock, std::chrono::seconds(10),
                            [&] { return std::find(denied.begin(), denied.end(), what) != denied.end(); });
  };
  EXPECT_TRUE(seen({"/dev/hidraw7", true}));
  bed.remove(path);
  EXPECT_TRUE(seen({"/dev/hidraw7", false}));
  platform::setNodeOpener(nullptr);
  platform::NotificationCenter::defaultCenter().removeObserver(token);
  std::lock_guard lock(events.mutex);
  EXPECT_TRUE(events.devices.empty());
}

TEST(HidrawLocation, BusAndPortsMakeTheLocation) {
  EXPECT_EQ(platform::locationIdFrom(1, "2"), 0x01200000);
  EXPECT_EQ(platform::locationIdFrom(3, "1.4.2"), 0x03142000);
  EXPECT_EQ(platform::locationIdFrom(0x14, "1.2.3.4.5.6.7"), 0x14123456);
}

TEST_F(Hidraw, SerialPortsFindTheirUsbFieldsOnTheNearestAncestor) {
  gchar* usb = umockdev_testbed_add_device(testbed, "usb", "1-5", nullptr, "idVendor", "f1a5", "idProduct", "00a0",
                                           "product", "Serial adapter", "manufacturer", "Maker", "serial", "SN42",
                                           nullptr, "DEVTYPE", "usb_device", nullptr);
  gchar* intf =
      umockdev_testbed_add_device(testbed, "usb", "1-5:1.0", usb, nullptr, "DEVTYPE", "usb_interface", nullptr);
  gchar* port = umockdev_testbed_add_device(testbed, "usb-serial", "ttyUSB0", intf, nullptr, nullptr);
  gchar* tty = umockdev_testbed_add_device(testbed, "tty", "ttyUSB0", port, "dev", "188:0", nullptr, "DEVNAME",
                                           "/dev/ttyUSB0", nullptr);
  g_free(usb), g_free(intf), g_free(port), g_free(tty);
  SerialDeviceMonitor monitor;  // the real libudev registry
  monitor.portUsageIntervalTime = 0;
  monitor.pass();
  ASSERT_EQ(monitor.serialDevices.size(), 1u);
  const SerialDevice& d = monitor.serialDevices[0];
  EXPECT_EQ(d.path, "/dev/ttyUSB0");
  EXPECT_EQ(d.name, "Serial adapter");
  EXPECT_EQ(d.vendorName, "Maker");
  EXPECT_EQ(d.serialNumber, "SN42");
  EXPECT_EQ(d.vendorId, 0xF1A5);
  EXPECT_EQ(d.productId, 0xA0);
}

namespace {
// usbfs as far as libusb asks it when it opens a device.
gboolean onUsbfsIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer) {
  if (umockdev_ioctl_client_get_request(client) == USBDEVFS_GET_CAPABILITIES) {
    UMockdevIoctlData* caps =
        umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0, sizeof(__u32), nullptr);
    const __u32 none = 0;
    std::memcpy(caps->data, &none, sizeof none);
    umockdev_ioctl_client_complete(client, 0, 0);
    return TRUE;
  }
  umockdev_ioctl_client_complete(client, -1, ENOTTY);
  return TRUE;
}
}  // namespace

TEST_F(Hidraw, TheUsbMonitorOpensAndAnnouncesADeviceThroughLibusb) {
  std::vector<std::uint8_t> descriptors = {18,   1,    0x00, 0x02, 0, 0, 0, 64, 0xA5, 0xF1, 0x01, 0x00,
                                           0x00, 0x01, 1,    2,    3, 1, 9, 2,  18,   0,    1,    1,
                                           0,    0x80, 50,   9,    4, 0, 0, 0,  0xFF, 0,    0,    0};
  const std::string node = std::string(root) + "/dev/bus/usb/001/007";
  std::filesystem::create_directories(std::string(root) + "/dev/bus/usb/001");
  ASSERT_EQ(::mkfifo(node.c_str(), 0666), 0);
  UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
  g_signal_connect(handler, "handle-ioctl", G_CALLBACK(onUsbfsIoctl), nullptr);
  GError* error = nullptr;
  ASSERT_TRUE(umockdev_testbed_attach_ioctl(testbed, "/dev/bus/usb/001/007", handler, &error)) << error->message;
  gchar* usb = umockdev_testbed_add_device(testbed, "usb", "1-6", nullptr, "busnum", "1", "devnum", "7", "speed", "480",
                                           "product", "Raw adapter", "bConfigurationValue", "1", "devpath", "6",
                                           nullptr, "DEVTYPE", "usb_device", "DEVNAME", "/dev/bus/usb/001/007",
                                           "BUSNUM", "001", "DEVNUM", "007", nullptr);
  umockdev_testbed_set_attribute_binary(testbed, usb, "descriptors", descriptors.data(),
                                        static_cast<gint>(descriptors.size()));
  const std::string syspath = usb;
  g_free(usb);

  std::mutex mutex;
  std::condition_variable gone;
  std::vector<USBDevice> found;
  std::vector<std::uint64_t> departed;
  auto& center = platform::NotificationCenter::defaultCenter();
  auto arrivals = center.addObserver(USBDeviceConnected, [&](const auto& n) {
    std::lock_guard lock(mutex);
    found.push_back(*platform::lookup<USBDevice>(n.object, "device"));
  });
  auto departures = center.addObserver(USBDeviceDisconnected, [&](const auto& n) {
    std::lock_guard lock(mutex);
    departed.push_back(*platform::lookup<std::uint64_t>(n.object, "id"));
    gone.notify_all();
  });
  // The real libusb registry. Its watches call the monitor for the rest of the
  // process's life, so the monitor is never destroyed.
  auto* monitor = new USBDeviceMonitor({USBMonitorData(0xF1A5, 1), USBMonitorData(0xF1A5, 2)});
  monitor->start();
  center.removeObserver(arrivals);
  umockdev_testbed_uevent(testbed, syspath.c_str(), "remove");
  {
    std::unique_lock lock(mutex);
    EXPECT_TRUE(gone.wait_for(lock, std::chrono::seconds(10), [&] { return !departed.empty(); }));
  }
  center.removeObserver(departures);
  ASSERT_EQ(found.size(), 1u);  // announced from within start(), for the matching pair only
  const std::uint8_t ports[] = {6};
  EXPECT_EQ(found[0].id, platform::usbRegistryId(1, ports, 1));
  EXPECT_EQ(found[0].vendorId, 0xF1A5);
  EXPECT_EQ(found[0].productId, 1);
  EXPECT_EQ(found[0].name, "Raw adapter");
  ASSERT_TRUE(found[0].deviceInterface);
  EXPECT_TRUE(found[0].deviceInterface->device());
  EXPECT_TRUE(found[0].deviceInterface->handle());  // opened by this process
  ASSERT_EQ(departed.size(), 1u);
  EXPECT_EQ(departed[0], found[0].id);
}

int main(int argc, char** argv) {
  // The test bed works through libumockdev's preload: run under it.
  sim::runUnderUmockdevPreload(argv);
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  std::_Exit(result);  // device fds stay open in the monitor threads
}
