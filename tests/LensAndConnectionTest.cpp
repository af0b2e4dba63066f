#include "app/StatusTexts.h"
#include "platform/Dictionary.h"
#include "support/WindowFixture.h"

using platform::Dictionary;
using platform::NotificationCenter;

class Lens : public WindowFixture {};

TEST_F(Lens, EachReplyAppendsTheLensIdInCapitals) {
  auto adapter = plug(kProductA);
  openWindow();
  clickRow(kRow1000);
  pressImage();
  ASSERT_TRUE(waitForStatus("\r\n镜头ID->0XFF"));
  EXPECT_EQ(status(), "设备已连接\r\n镜头ID->0XFF");
  EXPECT_EQ(vc->state(), stateConstants::stCheck);
  adapter->changeSettings([](auto& s) { s.lensId = 0xABC; });
  pressImage();
  ASSERT_TRUE(waitForStatus("\r\n镜头ID->0XABC"));
  EXPECT_EQ(status(), "设备已连接\r\n镜头ID->0XFF\r\n镜头ID->0XABC");
  EXPECT_EQ(vc->pv().size(), 1u);  // one monitor for the pair
  EXPECT_EQ(sleeper->pauses(), (std::vector<double>{1.0, 1.0}));
}

TEST_F(Lens, NoAdapterAndShortRepliesShowNoLensId) {
  openWindow();
  clickRow(kRow1000);
  pressImage();
  ASSERT_TRUE(waitFor([&] { return status() == texts::noDeviceForLens; }));
  EXPECT_EQ(vc->state(), stateConstants::stCheck);
  auto adapter = plug(kProductA);
  adapter->changeSettings([](auto& s) { s.replyLength = 17; });
  ASSERT_TRUE(waitForStatus(texts::connected));
  pressImage();
  ASSERT_TRUE(adapter->waitUntil([](const auto& r) { return !r.empty(); }, std::chrono::seconds(5)));
  settle(200);
  EXPECT_FALSE(statusHas("镜头ID"));
  EXPECT_EQ(vc->state(), stateConstants::stCheck);
}

// An adapter that floods the tool with replies: the status line keeps its
// last 200 lines and the window keeps up.
TEST_F(Lens, AFloodOfRepliesKeepsTheStatusLineBounded) {
  openWindow();
  clickRow(kRow1000);
  pressImage();  // no adapter: the exchange waits for lens replies
  ASSERT_TRUE(waitFor([&] { return status() == texts::noDeviceForLens; }));
  platform::Data reply(18, 0);
  for (int i = 1; i <= 5000; ++i) {
    reply[16] = static_cast<std::uint8_t>(i >> 8);
    reply[17] = static_cast<std::uint8_t>(i);
    NotificationCenter::defaultCenter().post(HIDDeviceDataReceived, Dictionary{{"data", reply}});
  }
  ASSERT_TRUE(waitFor([&] { return status().size() > 4 && status().substr(status().size() - 4) == "1388"; }));
  const std::string text = status();
  std::size_t lines = 1, at = 0;
  while ((at = text.find("\r\n", at)) != std::string::npos) ++lines, at += 2;
  EXPECT_EQ(lines, 200u);
  EXPECT_LT(statuses.size(), 5000u);  // the appends were applied in batches
}

TEST_F(Lens, AnotherPairArmsASecondMonitorAndTheFirstKeepsRunning) {
  auto a = plug(kProductA);
  openWindow();
  clickRow(kRow1000);
  pressImage();
  clickRow(kRow2048);
  pressImage();
  settle(50);
  const auto pairs = vc->pv();
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[1].productId, kProductB);
  bus->unplug(a);  // still watched by the first monitor
  EXPECT_TRUE(waitForStatus(texts::disconnected));
}

class Connection : public WindowFixture {
 protected:
  HIDDevice device(std::int64_t product) {
    platform::sim::AdapterSettings s;
    s.vendorId = kVendor;
    s.productId = product;
    return HIDDevice(std::make_shared<platform::sim::SimulatedAdapter>(bus, s));
  }
  void connect(std::int64_t product) {
    NotificationCenter::defaultCenter().post(HIDDeviceConnected, Dictionary{{"device", device(product)}});
  }
  void disconnect() { NotificationCenter::defaultCenter().post(HIDDeviceDisconnected, Dictionary{{"id", std::string()}}); }
};

TEST_F(Connection, TheConnectTextDependsOnTheStateWhenItIsShown) {
  openWindow();
  connect(kProductA);
  settle(50);
  EXPECT_EQ(status(), texts::listRead);
  EXPECT_TRUE(vc->isConnected());
  ASSERT_TRUE(vc->connectedDevice());
  EXPECT_EQ(vc->connectedDevice()->deviceInfo.productId, kProductA);

  connect(kProductB);
  EXPECT_EQ(vc->connectedDevice()->deviceInfo.productId, kProductB);  // replaced
  // The texts in the other states are the exchange's own: AdapterExchangeTest.
}

TEST_F(Connection, MalformedConnectNotificationsChangeNothing) {
  openWindow();
  auto& center = NotificationCenter::defaultCenter();
  center.post(HIDDeviceConnected);
  center.post(HIDDeviceConnected, std::string("device"));
  center.post(HIDDeviceConnected, Dictionary{{"device", 42}});
  center.post(HIDDeviceConnected, Dictionary{{"other", device(kProductA)}});
  EXPECT_FALSE(vc->isConnected());
  EXPECT_FALSE(vc->connectedDevice());
}

TEST_F(Connection, DisconnectResetsTheStateAndLeavesTheRestAsItIs) {
  openWindow();
  connect(kProductA);
  vc->processBar->setHidden(false);
  vc->processBar->setDoubleValue(37.5);
  disconnect();
  EXPECT_EQ(vc->state(), stateConstants::stEmpty);
  EXPECT_FALSE(vc->isConnected());
  EXPECT_FALSE(vc->connectedDevice());
  ASSERT_TRUE(waitFor([&] { return status() == texts::disconnected; }));
  EXPECT_EQ(vc->processBar->doubleValue(), 37.5);
  EXPECT_FALSE(vc->processBar->isHidden());
}

TEST_F(Connection, AnyMatchingDepartureClearsTheLink) {
  auto a = plug(kProductA);
  auto second = bus->plug(a->settings());
  openWindow();
  clickRow(kRow1000);
  pressImage();
  ASSERT_TRUE(waitFor([&] { return vc->isConnected(); }));
  bus->unplug(a);  // the one connected first; the last one connected stays
  ASSERT_TRUE(waitForStatus(texts::disconnected));
  EXPECT_FALSE(vc->isConnected());
  EXPECT_FALSE(vc->connectedDevice());
}

TEST_F(Connection, AnAdapterThatMayNotBeOpenedIsNamedAndSentNothing) {
  platform::sim::AdapterSettings s;
  s.vendorId = kVendor;
  s.productId = kProductA;
  s.accessDenied = true;
  auto adapter = bus->plug(s);
  openWindow();
  clickRow(kRow1000);
  pressUpdate();
  ASSERT_TRUE(waitForStatus("但没有权限打开：请安装 udev 规则后重新插入接环", 20000)) << status();
  settle(200);
  EXPECT_TRUE(statusHas("发现接环 /dev/hidraw-sim"));
  EXPECT_FALSE(statusHas(texts::noDevice));
  EXPECT_TRUE(adapter->received().empty());
}
