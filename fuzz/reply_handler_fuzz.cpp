// The adapter's replies, any bytes in any order, fed to the real controller in
// every protocol state with the pauses switched off. Beyond not crashing:
// the piece offset never passes the end of the image, no data report goes out
// outside a transfer, and the completion text appears only once every piece
// of the image has gone since the last start report.
#include <QApplication>
#include <cstdlib>
#include <memory>

#include "app/ViewController.h"
#include "platform/Dictionary.h"

namespace {

// The adapter's end: counts what it is sent since the last start report.
class CountingDevice : public platform::HIDPlatformDevice {
 public:
  platform::HIDProperty property(const std::string& key) const override {
    if (key == "MaxInputReportSize") return std::int64_t{64};
    return std::monostate{};
  }
  int setReport(int, std::uint32_t, const std::uint8_t* r, std::int64_t n) override {
    const bool command = n >= 6 && r[0] == 0x95 && r[1] == 0x27 && r[2] == 0x68 && r[3] == 0x18;
    if (command && r[4] == 0x01 && r[5] == 0x01) piecesSinceStart = 0;
    else if (!command) ++piecesSinceStart, ++dataReports;
    return platform::kIOReturnSuccess;
  }
  std::size_t piecesSinceStart = 0;
  std::size_t dataReports = 0;
};

struct Input {
  const std::uint8_t* data;
  std::size_t size;
  std::uint8_t next() {
    if (!size) return 0;
    --size;
    return *data++;
  }
};

[[noreturn]] void broken(const char* what) {
  std::fprintf(stderr, "invariant broken: %s\n", what);
  std::abort();
}

void reply(ViewController& vc, CountingDevice& device, Input& in) {
  const std::size_t length = in.next() % 72;
  platform::Data bytes;
  for (std::size_t i = 0; i < length; ++i) bytes.push_back(in.next());
  const std::int64_t before = vc.state;
  const std::size_t sent = device.dataReports;
  vc.hidReadData({HIDDeviceDataReceived, platform::Dictionary{{"data", bytes}}});
  if (device.dataReports != sent && before != stateConstants::stStartWriteData &&
      before != stateConstants::stGetResponseOfStartWriteData)
    broken("a data report outside a transfer");
}

void check(ViewController& vc, const CountingDevice& device) {
  QCoreApplication::processEvents();
  const auto image = vc.bin();
  const std::int64_t end = image ? static_cast<std::int64_t>(image->size()) : 0;
  if (vc.positionofbin() > end || vc.positionofbin() % 64) broken("the piece offset left the image");
  if (vc.message->stringValue().contains(QStringLiteral("固件更新已完成")) &&
      device.piecesSinceStart * 64 != static_cast<std::size_t>(end))
    broken("completion before the last piece");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  new QApplication(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input in{data, size};
  ViewController vc(QString{});
  vc.setSleeper([](double) {});
  vc.viewDidLoad();
  auto device = std::make_shared<CountingDevice>();
  vc.usbConnected({HIDDeviceConnected, platform::Dictionary{{"device", HIDDevice(device)}}});
  vc.storeImage(platform::Data((in.next() % 4) * 1000u, 0xA5), {1, 2, 3});
  while (in.size) {
    const std::uint8_t op = in.next();
    switch (op % 8) {
      case 0: vc.state = op / 8 % 4; break;  // another action changed the state
      case 1: vc.usbDisconnected({HIDDeviceDisconnected, platform::Dictionary{{"id", std::string()}}}); break;
      case 2: vc.usbConnected({HIDDeviceConnected, platform::Dictionary{{"device", HIDDevice(device)}}}); break;
      default: reply(vc, *device, in); break;
    }
    check(vc, *device);
  }
  return 0;
}
