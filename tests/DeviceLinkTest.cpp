#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "devicelink/HIDDeviceMonitor.h"
#include "devicelink/RFDevice.h"
#include "platform/Diagnostics.h"
#include "platform/Dictionary.h"
#include "platform/NotificationCenter.h"
#include "platform/Thread.h"
#include "sim/SimulatedAdapter.h"
#include "sim/SimulatedBus.h"
#include "support/FakeAdapter.h"

using platform::Data;
using platform::NotificationCenter;
using sim::AdapterSettings;

namespace {

// Every device notification, in order, as "connected <product>", "disconnected"
// or "data <length>".
class Collector {
 public:
  Collector() {
    auto& c = NotificationCenter::defaultCenter();
    tokens_ = {c.addObserver(HIDDeviceConnected, [this](const auto& n) { onConnected(n); }),
               c.addObserver(HIDDeviceDisconnected, [this](const auto&) { add("disconnected"); }),
               c.addObserver(HIDDeviceDataReceived, [this](const auto& n) { onData(n); })};
  }
  ~Collector() {
    for (auto t : tokens_) NotificationCenter::defaultCenter().removeObserver(t);
  }
  bool waitForCount(std::size_t n, int ms = 5000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return events_.size() >= n; });
  }
  std::vector<std::string> events() {
    std::lock_guard lock(mutex_);
    return events_;
  }
  std::vector<HIDDevice> devices() {
    std::lock_guard lock(mutex_);
    return devices_;
  }
  std::vector<Data> data() {
    std::lock_guard lock(mutex_);
    return data_;
  }

 private:
  void onConnected(const platform::Notification& n) {
    const auto* d = platform::lookup<HIDDevice>(n.object, "device");
    ASSERT_TRUE(d);
    {
      std::lock_guard lock(mutex_);
      devices_.push_back(*d);
    }
    add("connected " + std::to_string(d->productId));
  }
  void onData(const platform::Notification& n) {
    const auto* d = platform::lookup<Data>(n.object, "data");
    ASSERT_TRUE(d);
    {
      std::lock_guard lock(mutex_);
      data_.push_back(*d);
    }
    add("data " + std::to_string(d->size()));
  }
  void add(const std::string& e) {
    {
      std::lock_guard lock(mutex_);
      events_.push_back(e);
    }
    changed_.notify_all();
  }
  std::vector<platform::NotificationCenter::Token> tokens_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> events_;
  std::vector<HIDDevice> devices_;
  std::vector<Data> data_;
};

AdapterSettings adapter(std::int64_t product) {
  AdapterSettings s;
  s.vendorId = 0xF1A5;
  s.productId = product;
  return s;
}

const Data kQuery{0x95, 0x27, 0x68, 0x18, 0x02, 0x02};

class DeviceLink : public ::testing::Test {
 protected:
  void SetUp() override {
    bus = sim::SimulatedBus::create();
    bus->install();
  }
  void startMonitor(std::vector<HIDMonitorData> pairs) {
    auto monitor = std::make_shared<HIDDeviceMonitor>(std::move(pairs), 64);
    platform::Thread([monitor] { monitor->start(); }).start();
  }
  std::shared_ptr<sim::SimulatedBus> bus;
  Collector collector;
};

}  // namespace

TEST_F(DeviceLink, PresentAdapterIsAnnouncedThenItsRepliesThenItsDeparture) {
  auto a = bus->plug(adapter(1));
  bus->plug(adapter(9));  // does not match
  startMonitor({HIDMonitorData(0xF1A5, 1)});
  ASSERT_TRUE(collector.waitForCount(1));
  auto device = collector.devices().at(0);
  EXPECT_EQ(device.vendorId, 0xF1A5);
  EXPECT_EQ(device.reportSize, 64);
  EXPECT_EQ(device.name, "Simulated lens mount adapter");
  EXPECT_EQ(device.id, "");  // the location is a number, not a text
  RFDevice(device).write(kQuery);
  ASSERT_TRUE(collector.waitForCount(2));
  bus->unplug(a);
  ASSERT_TRUE(collector.waitForCount(3));
  EXPECT_EQ(collector.events(), (std::vector<std::string>{"connected 1", "data 64", "disconnected"}));
}

TEST_F(DeviceLink, LaterArrivalsAreAnnouncedBeforeTheirReportsAndShortReportsKeepTheirLength) {
  startMonitor({HIDMonitorData(0xF1A5, 1), HIDMonitorData(0xF1A5, 2)});
  auto s = adapter(2);
  s.replyLength = 20;
  auto a = bus->plug(s);
  ASSERT_TRUE(collector.waitForCount(1));
  RFDevice(collector.devices().at(0)).write(kQuery);
  ASSERT_TRUE(collector.waitForCount(2));
  EXPECT_EQ(collector.events(), (std::vector<std::string>{"connected 2", "data 20"}));
  EXPECT_EQ(collector.data().at(0)[7], 0);
}

TEST_F(DeviceLink, TwoAdaptersEachHaveTheirOwnBuffer) {
  auto s1 = adapter(1), s2 = adapter(1);
  s1.lensId = 0x1111;
  s2.lensId = 0x2222;
  bus->plug(s1);
  bus->plug(s2);
  startMonitor({HIDMonitorData(0xF1A5, 1)});
  ASSERT_TRUE(collector.waitForCount(2));
  const auto devices = collector.devices();
  RFDevice(devices[0]).write(kQuery);
  ASSERT_TRUE(collector.waitForCount(3));
  RFDevice(devices[1]).write(kQuery);
  ASSERT_TRUE(collector.waitForCount(4));
  const auto data = collector.data();
  EXPECT_EQ(data[0][16], 0x11);
  EXPECT_EQ(data[1][16], 0x22);
}

TEST_F(DeviceLink, WithoutAReportSizeTheWriterRefusesAnyData) {
  auto s = adapter(1);
  s.maxInputReportSize.reset();
  auto a = bus->plug(s);
  startMonitor({HIDMonitorData(0xF1A5, 1)});
  ASSERT_TRUE(collector.waitForCount(1));
  const auto device = collector.devices().at(0);
  EXPECT_EQ(device.reportSize, 0);
  testing::internal::CaptureStdout();
  EXPECT_FALSE(RFDevice(device).write(kQuery));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Output data too large for USB report\n");
  EXPECT_TRUE(a->received().empty());
}

TEST(RFDeviceWrite, FramesEveryReportToTheReportSize) {
  auto dev = std::make_shared<FakeAdapter>(0xF1A5, 1);
  RFDevice writer{HIDDevice(dev)};
  Data full(64);
  for (std::size_t i = 0; i < 64; ++i) full[i] = static_cast<std::uint8_t>(i + 1);
  EXPECT_TRUE(writer.write(full));
  EXPECT_TRUE(writer.write(kQuery));
  EXPECT_TRUE(writer.write({}));
  testing::internal::CaptureStdout();
  EXPECT_FALSE(writer.write(Data(65, 1)));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "Output data too large for USB report\n");
  // With a sink of its own (the command line's), nothing reaches standard output.
  std::vector<std::string> said;
  platform::setDiagnosticsSink([&](const std::string& line) { said.push_back(line); });
  testing::internal::CaptureStdout();
  EXPECT_FALSE(writer.write(Data(65, 1)));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  platform::setDiagnosticsSink([](const std::string& line) { std::printf("%s\n", line.c_str()), std::fflush(stdout); });
  EXPECT_EQ(said, std::vector<std::string>{"Output data too large for USB report"});
  ASSERT_EQ(dev->reports.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(dev->frames[i].type, platform::kIOHIDReportTypeOutput);
    EXPECT_EQ(dev->frames[i].id, 2u);
    EXPECT_EQ(dev->reports[i].size(), 64u);
  }
  EXPECT_EQ(dev->reports[0], full);
  Data padded(64, 0);
  std::copy(kQuery.begin(), kQuery.end(), padded.begin());
  EXPECT_EQ(dev->reports[1], padded);
  EXPECT_EQ(dev->reports[2], Data(64, 0));
}
