#include "app/StatusLines.h"
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

// An adapter that floods the tool with reports nobody asked for: none of them
// shows, and the window keeps up.
TEST_F(Lens, AFloodOfReportsNobodyAskedForChangesNothing) {
  auto adapter = plug(kProductA);
  openWindow();
  clickRow(kRow1000);
  pressImage();
  ASSERT_TRUE(waitForStatus("\r\n镜头ID->0XFF"));
  for (int i = 0; i < 5000; ++i) adapter->poke();
  pressImage();
  ASSERT_TRUE(waitFor([&] { return status() == "设备已连接\r\n镜头ID->0XFF\r\n镜头ID->0XFF"; })) << status().size();
  settle(100);
  EXPECT_EQ(status(), "设备已连接\r\n镜头ID->0XFF\r\n镜头ID->0XFF");
}

// A status line that grows with every answer keeps its last 200 lines.
TEST(StatusLines, TheLastLinesAreKept) {
  QString text = QStringLiteral("first");
  for (int i = 1; i < 300; ++i) text += QStringLiteral("\r\nline %1").arg(i);
  const QString kept = lastLines(text, 200);
  EXPECT_EQ(kept.count(QStringLiteral("\r\n")), 199);
  EXPECT_TRUE(kept.startsWith(QStringLiteral("line 100\r\n")));
  EXPECT_TRUE(kept.endsWith(QStringLiteral("\r\nline 299")));
  EXPECT_EQ(lastLines(QStringLiteral("a\r\nb"), 200), QStringLiteral("a\r\nb"));
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
    sim::AdapterSettings s;
    s.vendorId = kVendor;
    s.productId = product;
    return HIDDevice(std::make_shared<sim::SimulatedAdapter>(bus, s));
  }
  void connect(std::int64_t product) {
    const HIDDevice d = device(product);
    last = d.device;
    NotificationCenter::defaultCenter().post(HIDDeviceConnected, Dictionary{{"device", d}});
  }
  void disconnect() {
    NotificationCenter::defaultCenter().post(HIDDeviceDisconnected,
                                             Dictionary{{"id", std::string()}, {"device", last}});
  }
  platform::IOHIDDeviceRef last;
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

// The link follows each adapter: one of two leaving leaves the other connected.
TEST_F(Connection, EachAdapterIsFollowedOnItsOwn) {
  auto a = plug(kProductA);
  auto second = bus->plug(a->settings());
  openWindow();
  clickRow(kRow1000);
  pressImage();
  ASSERT_TRUE(waitFor([&] { return vc->isConnected(); }));
  ASSERT_TRUE(waitForStatus("请只连接要查询的一个"));
  bus->unplug(a);
  ASSERT_TRUE(waitForStatus(texts::disconnected));
  EXPECT_TRUE(vc->isConnected());
  pressImage();
  ASSERT_TRUE(waitForStatus("\r\n镜头ID->0XFF"));
  EXPECT_EQ(second->received().size(), 1u);
  EXPECT_TRUE(a->received().empty());
  bus->unplug(second);
  ASSERT_TRUE(waitFor([&] { return !vc->isConnected(); }));
  EXPECT_FALSE(vc->connectedDevice());
}

TEST_F(Connection, AnAdapterThatMayNotBeOpenedIsNamedAndSentNothing) {
  sim::AdapterSettings s;
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

// An adapter that may not be opened and then leaves is no longer named: the
// texts say that no adapter is there.
TEST_F(Connection, ADeniedAdapterThatLeftIsNoLongerNamed) {
  openWindow();
  auto& center = NotificationCenter::defaultCenter();
  center.post(HIDDeviceAccessDenied, Dictionary{{"node", std::string("/dev/hidraw7")}, {"present", true}});
  ASSERT_TRUE(waitForStatus("发现接环 /dev/hidraw7"));
  center.post(HIDDeviceAccessDenied, Dictionary{{"node", std::string("/dev/hidraw7")}, {"present", false}});
  clickRow(kRow1000);
  pressImage();
  ASSERT_TRUE(waitFor([&] { return status() == texts::noDeviceForLens; })) << status();
}
