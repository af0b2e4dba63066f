#include "WindowFixture.h"

#include <chrono>
#include <thread>

#include "catalogue/FirmwareList.h"
#include "catalogue/ZeroFill.h"

void RecordingSleeper::waitBriefly() const {
  for (int i = 0; i < 300 && !ready(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
}

void WindowFixture::SetUp() {
  ASSERT_TRUE(server.start());
  ASSERT_TRUE(serveSampleCatalogue(server, RINGFLASH_DEMO_CATALOGUE));
  bus = sim::SimulatedBus::create();
  bus->install();
}

void WindowFixture::TearDown() {
  vc.reset();
  server.stop();
}

void WindowFixture::openWindow(bool realSleep) {
  vc = std::make_unique<ViewController>(QString::fromStdString(listUrl()));
  // Runs on the exchange's timer threads: it holds the window itself, not the
  // fixture's pointer, which the test's thread changes.
  sleeper->ready = [window = vc.get()] { return window->isConnected(); };
  if (textOptions) vc->setTextReadOptions(*textOptions);
  for (const auto& key : trustedKeys) vc->addTrustedKey(key);
  if (!realSleep) vc->setSleeper([s = sleeper](double seconds) { (*s)(seconds); });
  QObject::connect(vc->message, &StatusField::stringValueChanged,
                   [this](const QString& s) { statuses.push_back(s.toStdString()); });
  vc->viewDidLoad();
  QObject::connect(vc->processBar, &ProgressIndicator::doubleValueChanged, [this](double v) { progress.push_back(v); });
  vc->show();
}

std::shared_ptr<sim::SimulatedAdapter> WindowFixture::plug(std::int64_t product, double replyDelay) {
  sim::AdapterSettings s;
  s.vendorId = kVendor;
  s.productId = product;
  s.replyDelaySeconds = replyDelay;
  return bus->plug(s);
}

void WindowFixture::clickRow(int row) {
  const QModelIndex index = vc->tableView->model()->index(row, 0);
  vc->tableView->scrollTo(index);
  QTest::mouseClick(vc->tableView->viewport(), Qt::LeftButton, {}, vc->tableView->visualRect(index).center());
}

void WindowFixture::pressUpdate() { QTest::mouseClick(vc->updateBtn, Qt::LeftButton); }
void WindowFixture::pressImage() { QTest::mouseClick(vc->imagebutton, Qt::LeftButton); }

std::string WindowFixture::status() const { return vc->message->stringValue().toStdString(); }
bool WindowFixture::statusHas(const std::string& text) const { return status().find(text) != std::string::npos; }
bool WindowFixture::waitForStatus(const std::string& text, int milliseconds) {
  return waitFor([&] { return statusHas(text); }, milliseconds);
}

std::string WindowFixture::imagePath(int row) const {
  const auto fields = catalogue::splitFields((*vc->lines)[static_cast<std::size_t>(row)]);
  const std::string url = fields[catalogue::fImage];
  return url.substr(server.base().size());
}

platform::Data WindowFixture::paddedImage(int row) const {
  auto read = platform::readURL(server.base() + imagePath(row));
  EXPECT_TRUE(read.ok());
  catalogue::zeroFill(read.bytes);
  return read.bytes;
}

void WindowFixture::serveListWithoutChecks() {
  std::string text;
  for (const auto& line : catalogue::splitLines(sampleListText(server, RINGFLASH_DEMO_CATALOGUE))) {
    const auto fields = catalogue::splitFields(line);
    const std::size_t n = std::min(fields.size(), catalogue::kFieldsToSelect);
    for (std::size_t i = 0; i < n; ++i) text += (i ? ";" : "") + fields[i];
    text += "\n";
  }
  text.pop_back();
  putList(text);
}
