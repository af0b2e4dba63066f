// The USB and serial monitors over registries of the tests' own, and the
// serial registry once over the machine's real one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <mutex>

#include "devicelink/SerialDeviceMonitor.h"
#include "devicelink/USBDeviceMonitor.h"
#include "platform/Dictionary.h"
#include "platform/NotificationCenter.h"

using platform::NotificationCenter;

namespace {

// Notifications of the given names, as "<name> <what>".
class Recorder {
 public:
  Recorder(std::vector<std::string> names, std::function<std::string(const platform::Notification&)> describe) {
    for (const auto& name : names)
      tokens_.push_back(NotificationCenter::defaultCenter().addObserver(name, [this, describe](const auto& n) {
        std::lock_guard lock(mutex_);
        seen_.push_back(n.name + " " + describe(n));
      }));
  }
  ~Recorder() {
    for (auto t : tokens_) NotificationCenter::defaultCenter().removeObserver(t);
  }
  std::vector<std::string> take() {
    std::lock_guard lock(mutex_);
    return std::exchange(seen_, {});
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> seen_;
  std::vector<NotificationCenter::Token> tokens_;
};

// ---- USB

struct FakeInterface : platform::USBDeviceInterface {
  int openResult = 0;
  std::uint16_t vendor = 0xF1A5, product = 1;
  int USBDeviceOpen() override { return openResult; }
  int GetDeviceVendor(std::uint16_t& v) override { return v = vendor, 0; }
  int GetDeviceProduct(std::uint16_t& p) override { return p = product, 0; }
};

struct FakeService : platform::USBService {
  std::uint64_t id = 0x0102000000000000;
  int idResult = 0, releaseResult = 0;
  std::shared_ptr<FakeInterface> interface = std::make_shared<FakeInterface>();
  int registryEntryID(std::uint64_t& out) override {
    if (idResult == 0) out = id;
    return idResult;
  }
  int name(std::string& n) override { return n = "Fake adapter", 0; }
  int createDeviceInterface(std::shared_ptr<platform::USBDeviceInterface>& out) override { return out = interface, 0; }
  int release() override { return releaseResult; }
};

struct FakeUSBRegistry : platform::USBRegistry {
  std::vector<std::shared_ptr<FakeService>> present;
  bool refuse = false;
  std::vector<platform::USBIteratorCallback> departures;
  bool addMatchingNotifications(std::uint16_t, std::uint16_t, platform::SerialQueue&, platform::USBIteratorCallback,
                                platform::USBIteratorCallback left, platform::USBIterator& added,
                                platform::USBIterator&) override {
    if (refuse) return false;
    for (auto& s : present) added.push_back(s);
    departures.push_back(left);
    return true;
  }
};

std::string describeUSB(const platform::Notification& n) {
  if (auto* d = platform::lookup<USBDevice>(n.object, "device"))
    return std::to_string(d->id) + " " + d->name + " " + std::to_string(d->productId);
  if (auto* id = platform::lookup<std::uint64_t>(n.object, "id")) return std::to_string(*id);
  return "?";
}

}  // namespace

TEST(USBMonitor, RequestTypeBitsAndInterfaceIds) {
  EXPECT_EQ(USBmakebmRequestType(1, 2, 3), 0xC3);
  EXPECT_EQ(USBmakebmRequestType(0xFE, 0x7C, 0xE0), 0x00);  // only the low bits count
  EXPECT_EQ(USBmakebmRequestType(-1, -1, -1), 0xFF);
  EXPECT_EQ(&kIOUSBDeviceInterfaceID(), &kIOUSBDeviceInterfaceID());
  EXPECT_EQ(kIOUSBDeviceUserClientTypeID()[0], 0x9D);
  EXPECT_EQ(kIOCFPlugInInterfaceID()[15], 0x6F);
}

TEST(USBMonitor, PresentDevicesAreAnnouncedFromWithinStartOncePerPair) {
  Recorder r({USBDeviceConnected, USBDeviceDisconnected}, describeUSB);
  auto registry = std::make_shared<FakeUSBRegistry>();
  registry->present.push_back(std::make_shared<FakeService>());
  USBDeviceMonitor empty({}, registry);
  empty.start();
  EXPECT_TRUE(r.take().empty());
  USBDeviceMonitor monitor({USBMonitorData(0xF1A5, 1), USBMonitorData(0xF1A5, 1)}, registry);
  monitor.start();
  const std::string arrival = "USBDeviceConnected 72620543991349248 Fake adapter 1";
  EXPECT_EQ(r.take(), (std::vector<std::string>{arrival, arrival}));
  for (auto& left : registry->departures) left(platform::USBIterator{registry->present[0]});
  EXPECT_EQ(r.take(), (std::vector<std::string>{"USBDeviceDisconnected 72620543991349248",
                                                "USBDeviceDisconnected 72620543991349248"}));
}

TEST(USBMonitor, FailuresPrintTheirLineAndSkipOrCarryOn) {
  Recorder r({USBDeviceConnected, USBDeviceDisconnected}, describeUSB);
  auto registry = std::make_shared<FakeUSBRegistry>();
  auto noId = std::make_shared<FakeService>();
  noId->idResult = -1;
  auto held = std::make_shared<FakeService>();
  held->interface->openResult = platform::kIOReturnExclusiveAccess;
  auto broken = std::make_shared<FakeService>();
  broken->interface->openResult = -4;
  registry->present = {noId, held, broken};
  USBDeviceMonitor monitor({USBMonitorData(0xF1A5, 1)}, registry);
  testing::internal::CaptureStdout();
  monitor.start();
  auto stuck = std::make_shared<FakeService>();
  stuck->releaseResult = -536870212;
  registry->departures[0](platform::USBIterator{stuck, noId});
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "Error getting device id\nCould not open device (error: -4)\n"
            "Couldn\u2019t release raw device object (error: -536870212)\nError getting device id\n");
  EXPECT_EQ(r.take(), (std::vector<std::string>{"USBDeviceConnected 0 Fake adapter 1",
                                                "USBDeviceConnected 72620543991349248 Fake adapter 1",
                                                "USBDeviceDisconnected 0"}));
}

TEST(USBMonitor, APairThatCannotBeWatchedIsGivenUp) {
  Recorder r({USBDeviceConnected}, describeUSB);
  auto registry = std::make_shared<FakeUSBRegistry>();
  registry->present.push_back(std::make_shared<FakeService>());
  registry->refuse = true;
  USBDeviceMonitor({USBMonitorData(0xF1A5, 1)}, registry).start();
  EXPECT_TRUE(r.take().empty());
}

TEST(USBMonitor, RegistryIdsFromBusAndPorts) {
  const std::uint8_t ports[] = {1, 4, 2};
  EXPECT_EQ(platform::usbRegistryId(3, ports, 3), 0x0301040200000000ull);
  EXPECT_EQ(platform::usbRegistryId(3, ports, 0), 0x0300000000000000ull);
}

// ---- serial

namespace {

struct FakeEntry : platform::SerialRegistryEntry {
  std::optional<std::string> path;
  std::map<std::string, std::any> found;  // what a search up the registry finds
  std::any property(const std::string& key) const override {
    return key == "IOCalloutDevice" && path ? std::any(*path) : std::any();
  }
  std::any searchProperty(const std::string& key) const override {
    auto it = found.find(key);
    return it == found.end() ? std::any() : it->second;
  }
};

struct FakeSerialRegistry : platform::SerialRegistry {
  std::optional<platform::SerialRegistryIterator> ports = platform::SerialRegistryIterator{};
  std::vector<std::uint32_t> pauses;
  std::optional<platform::SerialRegistryIterator> matchingServices() override { return ports; }
  void usleep(std::uint32_t us) override { pauses.push_back(us); }
  void set(std::vector<std::string> paths) {
    platform::SerialRegistryIterator it;
    for (auto& p : paths) {
      auto e = std::make_shared<FakeEntry>();
      e->path = p;
      it.push_back(e);
    }
    ports = it;
  }
};

std::string describeSerial(const platform::Notification& n) {
  auto* d = platform::lookup<SerialDevice>(n.object, "device");
  return d ? d->path + (d->name ? " " + *d->name : "") : "?";
}

std::vector<std::string> sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

}  // namespace

TEST(SerialMonitor, PortsAppearingAndLeavingBetweenScans) {
  Recorder r({SerialDeviceAdded, SerialDeviceRemoved}, describeSerial);
  auto registry = std::make_shared<FakeSerialRegistry>();
  SerialDeviceMonitor monitor(registry);
  monitor.pass();
  EXPECT_TRUE(r.take().empty());
  registry->set({"/dev/ttyUSB0", "/dev/ttyACM0"});
  monitor.pass();
  EXPECT_EQ(sorted(r.take()),
            (std::vector<std::string>{"SerialDeviceAdded /dev/ttyACM0", "SerialDeviceAdded /dev/ttyUSB0"}));
  registry->set({"/dev/ttyACM0", "/dev/ttyUSB1"});
  monitor.pass();
  EXPECT_EQ(r.take(), (std::vector<std::string>{"SerialDeviceRemoved /dev/ttyUSB0", "SerialDeviceAdded /dev/ttyUSB1"}));
  registry->set({});
  monitor.pass();
  EXPECT_EQ(r.take().size(), 2u);
  EXPECT_EQ(registry->pauses, (std::vector<std::uint32_t>(4, 250000)));
}

TEST(SerialMonitor, TwoEntriesWithOnePathAreOnePortAndEntriesWithoutAPathAreLeftOut) {
  Recorder r({SerialDeviceAdded}, describeSerial);
  auto registry = std::make_shared<FakeSerialRegistry>();
  registry->set({"/dev/ttyS0", "/dev/ttyS0"});
  registry->ports->push_back(std::make_shared<FakeEntry>());
  SerialDeviceMonitor monitor(registry);
  monitor.pass();
  EXPECT_EQ(r.take(), (std::vector<std::string>{"SerialDeviceAdded /dev/ttyS0"}));
  EXPECT_EQ(monitor.serialDevices.size(), 2u);
}

TEST(SerialMonitor, FiltersDecideWhatIsAnnounced) {
  Recorder r({SerialDeviceAdded, SerialDeviceRemoved}, describeSerial);
  auto registry = std::make_shared<FakeSerialRegistry>();
  registry->set({"/dev/ttyUSB0", "/dev/ttyS0"});
  SerialDeviceMonitor monitor(registry);
  monitor.filterDevices = [](std::vector<SerialDevice> d) {
    std::erase_if(d, [](auto& x) { return x.path.find("USB") == std::string::npos; });
    return d;
  };
  monitor.pass();
  EXPECT_EQ(r.take(), (std::vector<std::string>{"SerialDeviceAdded /dev/ttyUSB0"}));
  monitor.filterDevices = [](std::vector<SerialDevice> d) {
    std::erase_if(d, [](auto& x) { return x.path.find("USB") != std::string::npos; });
    return d;
  };
  monitor.pass();
  EXPECT_EQ(r.take(), (std::vector<std::string>{"SerialDeviceRemoved /dev/ttyUSB0", "SerialDeviceAdded /dev/ttyS0"}));
  monitor.filterDevices = [](std::vector<SerialDevice>) { return std::vector<SerialDevice>{}; };
  monitor.pass();
  EXPECT_EQ(r.take(), (std::vector<std::string>{"SerialDeviceRemoved /dev/ttyS0"}));
}

TEST(SerialMonitor, TheUsbFieldsAreTakenWhereTheRegistryFindsThemWithTheirTypesChecked) {
  auto registry = std::make_shared<FakeSerialRegistry>();
  auto e = std::make_shared<FakeEntry>();
  e->path = "/dev/ttyUSB0";
  e->found = {{"USB Product Name", std::string("Adapter")},
              {"USB Vendor Name", std::string("Maker")},
              {"USB Serial Number", 42},
              {"idVendor", std::int64_t{0xF1A5}},
              {"idProduct", std::string("1")}};
  registry->ports = platform::SerialRegistryIterator{e};
  SerialDeviceMonitor monitor(registry);
  monitor.pass();
  ASSERT_EQ(monitor.serialDevices.size(), 1u);
  const auto& d = monitor.serialDevices[0];
  EXPECT_EQ(d.name, "Adapter");
  EXPECT_EQ(d.vendorName, "Maker");
  EXPECT_FALSE(d.serialNumber);  // not a text
  EXPECT_EQ(d.vendorId, 0xF1A5);
  EXPECT_FALSE(d.productId);  // not a number
}

TEST(SerialMonitor, ListingFailuresAreRetriedAfterThePause) {
  Recorder r({SerialDeviceAdded, SerialDeviceRemoved}, describeSerial);
  auto registry = std::make_shared<FakeSerialRegistry>();
  registry->set({"/dev/ttyS0"});
  SerialDeviceMonitor monitor(registry);
  monitor.pass();
  r.take();
  registry->ports.reset();
  monitor.pass();
  EXPECT_TRUE(r.take().empty());
  EXPECT_EQ(monitor.serialDevices.size(), 1u);
  EXPECT_EQ(registry->pauses.size(), 2u);
}

TEST(SerialMonitor, PausesInMicrosecondsStayWithinThirtyTwoBits) {
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(0.25f), 250000u);
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(0.0f), 0u);
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(0.0000004f), 0u);
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(-1.0f), 0u);
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(-INFINITY), 0u);
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(INFINITY), 4294967295u);
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(5000.0f), 4294967295u);
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(NAN), 250000u);
  EXPECT_EQ(SerialDeviceMonitor::pauseMicroseconds(4294.0f), 4294000128u);  // as 32-bit floating point computes it
}

TEST(SerialMonitor, TheRealRegistryListsTheMachinesSerialPort) {
  if (!std::filesystem::exists("/sys/class/tty/ttyS0/device") || !std::filesystem::exists("/dev/ttyS0"))
    GTEST_SKIP() << "this machine has no /dev/ttyS0";
  SerialDeviceMonitor monitor;
  monitor.portUsageIntervalTime = 0;
  monitor.pass();
  EXPECT_TRUE(std::any_of(monitor.serialDevices.begin(), monitor.serialDevices.end(),
                          [](const SerialDevice& d) { return d.path == "/dev/ttyS0"; }));
  EXPECT_FALSE(std::any_of(monitor.serialDevices.begin(), monitor.serialDevices.end(),
                           [](const SerialDevice& d) { return d.path == "/dev/tty" || d.path == "/dev/console"; }));
}
