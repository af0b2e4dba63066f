#pragma once
#include <gtest/gtest.h>

#include <QTest>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "EventWait.h"
#include "app/ViewController.h"
#include "server/SampleCatalogue.h"
#include "sim/SimulatedAdapter.h"
#include "sim/SimulatedBus.h"

// Records the protocol's pauses instead of sleeping them.
// The one-second pause before the adapter is asked stands for the time the
// monitor takes to find it: it waits (briefly, for real) until `ready` holds,
// then lets the window's thread catch up on what it was sent.
class RecordingSleeper {
 public:
  void operator()(double seconds) {
    {
      std::lock_guard lock(mutex_);
      pauses_.push_back(seconds);
    }
    if (seconds >= 1.0 && ready) waitBriefly();
    if (gate) gate();
  }
  std::function<bool()> ready;
  std::function<void()> gate;  // runs after every pause, on the pausing thread
  void waitBriefly() const;
  std::vector<double> pauses() const {
    std::lock_guard lock(mutex_);
    return pauses_;
  }
  void clear() {
    std::lock_guard lock(mutex_);
    pauses_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<double> pauses_;
};

// A real window offscreen over a real firmware server on loopback and a
// simulated adapter bus of its own.
class WindowFixture : public ::testing::Test {
 protected:
  // Rows of the sample catalogue.
  static constexpr int kRow1000 = 0, kRow1024 = 1, kRow2048 = 2, kRow64k = 3, kRowEmpty = 4, kRowBroken = 5,
                       kRowWrongHash = 6;
  static constexpr std::int64_t kVendor = 0xF1A5, kProductA = 0x0001, kProductB = 0x0002;

  void SetUp() override;
  void TearDown() override;

  // Creates the window and loads it; `realSleep` keeps the real pacing.
  void openWindow(bool realSleep = false);
  std::shared_ptr<sim::SimulatedAdapter> plug(std::int64_t product, double replyDelay = 0.0);
  void clickRow(int row);
  void pressUpdate();
  void pressImage();
  std::string status() const;
  bool statusHas(const std::string& text) const;
  bool waitForStatus(const std::string& text, int milliseconds = 10000);
  platform::Data paddedImage(int row) const;
  // Serves the sample list without the optional fields 7 and 8 on every line.
  void serveListWithoutChecks();
  void putList(const std::string& text) { server.put(kListPath, platform::Data(text.begin(), text.end())); }
  std::string listUrl() const { return server.base() + kListPath; }
  std::string imagePath(int row) const;

  FirmwareServer server;
  std::shared_ptr<sim::SimulatedBus> bus;
  std::shared_ptr<RecordingSleeper> sleeper = std::make_shared<RecordingSleeper>();
  std::unique_ptr<ViewController> vc;
  std::optional<platform::UrlReadOptions> textOptions;  // for the window, from before it loads
  std::vector<catalogue::PublicKey> trustedKeys;        // likewise
  std::vector<std::string> statuses;                    // every status text, in order
  std::vector<double> progress;                         // every value the bar took after loading
};
