#pragma once
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTableView>
#include <QWidget>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/ImageCheck.h"
#include "devicelink/HIDDeviceMonitor.h"
#include "devicelink/HIDMonitorData.h"
#include "devicelink/RFDevice.h"
#include "platform/Data.h"
#include "platform/GlobalQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/Sleep.h"
#include "platform/Thread.h"
#include "platform/UrlReader.h"
#include "platform/ProgressIndicator.h"
#include "platform/StatusField.h"
#include "stateConstants.h"
#include "tableViewCell.h"

namespace Ui {
class ViewController;
}
class FirmwareTableModel;

// The controller of the tool's only window and the owner of all its state.
//
// Threads: the window's thread runs the actions and every view change; the
// download job runs on the controller's global queue; each armed HID monitor
// runs the connection and reply handlers on its own thread. `state` and
// `isConnected` are atomics, `connectedDevice` is guarded by linkMutex_, and
// the other fields those threads share are guarded by fieldsMutex_. No lock is
// held across a pause, a send or a notification.
class ViewController : public QWidget {
  Q_OBJECT

 public:
  // The list address is the built-in constant for the tool; tests and the demo
  // point it at their own firmware server.
  explicit ViewController(QString listAddress, QWidget* parent = nullptr);
  ~ViewController() override;

  void viewDidLoad();

  // Firmware table (data source and delegate).
  int numberOfRows() const;
  tableViewCell* tableViewViewForRow(int row);

  // Catalogue.
  void readlst();
  void tableViewOnClick();
  void updateBtnOnClick();
  // Keeps a downloaded image, filled up with zero bytes, as `bin`, with the
  // version of the entry it was downloaded for.
  void storeImage(platform::Data image, std::array<std::int64_t, 3> entryVersion);

  // Device update.
  void ImageOnClick();
  bool isInMonitor(std::int64_t VID, std::int64_t PID);
  void writeData();

  // Notification handlers, called on a monitor's thread.
  void usbConnected(const platform::Notification& notification);
  void usbDisconnected(const platform::Notification& notification);
  void hidReadData(const platform::Notification& notification);

  // Seams for tests: every protocol pause, and the reads of URLs.
  void setSleeper(platform::Sleeper sleeper) { sleeper_ = std::move(sleeper); }
  // The list and the descriptions, and the images: deadlines and limits of speed.
  void setTextReadOptions(const platform::UrlReadOptions& options) { textReadOptions_ = options; }
  void setImageReadOptions(const platform::UrlReadOptions& options) { imageReadOptions_ = options; }

  // Outlets.
  QPointer<ProgressIndicator> processBar;
  QPointer<QPushButton> updateBtn;
  QPointer<QPushButton> imagebutton;
  QPointer<QTableView> tableView;
  QPointer<StatusField> message;

  // Stored fields. Those marked (shared) are touched by more than one thread
  // and are read and written through the accessors below.
  std::shared_ptr<RFDevice> connectedDevice() const;                  // (shared)
  std::optional<platform::Data> rdata() const;                        // (shared)
  const std::vector<std::uint8_t> check_tab{0x95, 0x27, 0x68, 0x18, 0x02, 0x02};
  std::vector<std::uint8_t> start_tab() const;                        // (shared)
  std::shared_ptr<HIDDeviceMonitor> rfDeviceMonitor() const;          // (shared)
  std::atomic<std::int64_t> state{stateConstants::stEmpty};           // (shared)
  std::optional<std::string> lst;
  std::optional<std::vector<std::string>> lines;
  std::uint32_t vid() const;                                          // (shared)
  std::uint32_t pid() const;                                          // (shared)
  std::shared_ptr<const platform::Data> bin() const;                  // (shared)
  std::int32_t selectedRow = 1000000;
  std::array<std::int64_t, 3> version() const;                        // (shared)
  std::int64_t positionofbin() const;                                 // (shared)
  std::vector<HIDMonitorData> pv() const;                             // (shared)
  std::atomic<bool> isConnected{false};                               // (shared)
  std::int64_t cnt() const;                                           // (shared)

 private:
  void connectActions();
  void showStatus(const QString& text);
  void postStatus(const QString& text);
  int tableSelectedRow() const;
  void arm(std::int64_t vid, std::int64_t pid);
  bool selectionIsUsable(const std::vector<std::string>& fields, std::array<std::int64_t, 3>& version,
                         std::uint32_t& vendor, std::uint32_t& product);
  // Reads a URL of the firmware server, at most `limit` bytes. Returns the
  // status text to show when the read did not give the whole resource.
  const char* readFromServer(const std::string& url, platform::UrlReadOptions options, std::size_t limit,
                             const char* tooLargeText, const char* failedText, platform::Data& bytes) const;
  // Reads the image of a list line, checked against what the line says of it.
  // Returns the status text to show when there is no image to write.
  const char* downloadImage(const std::string& url, const catalogue::ImageCheck& check, platform::Data& image) const;
  void downloadJob(const std::string& line, std::array<std::int64_t, 3> entryVersion);
  void lensIdStep(const platform::Data& reply);
  void versionAndStartStep(const platform::Data& reply);
  void pieceStep();
  void endTransfer(const QString& text);
  bool transferOrDownloadUnderWay() const;
  void sleep(double seconds) const { sleeper_(seconds); }

  std::unique_ptr<Ui::ViewController> ui_;
  FirmwareTableModel* model_ = nullptr;
  tableViewCell cell_;
  QString listAddress_;
  platform::Sleeper sleeper_ = platform::threadSleep;
  platform::UrlReadOptions textReadOptions_ = platform::UrlReadOptions::forText();
  platform::UrlReadOptions imageReadOptions_ = platform::UrlReadOptions::forImage();
  std::vector<platform::NotificationCenter::Token> observers_;

  mutable std::mutex linkMutex_;
  std::shared_ptr<RFDevice> connectedDevice_;

  mutable std::mutex fieldsMutex_;
  std::optional<platform::Data> rdata_;
  std::vector<std::uint8_t> start_tab_{0x95, 0x27, 0x68, 0x18, 0x01, 0x01, 0x02, 0x00, 0x02};
  std::shared_ptr<HIDDeviceMonitor> rfDeviceMonitor_;
  std::shared_ptr<platform::Thread> rfDeviceDaemon_;
  std::uint32_t vid_ = 0;
  std::uint32_t pid_ = 0;
  std::array<std::int64_t, 3> version_{0, 0, 0};
  std::optional<std::string> currentLine_;            // the entry whose description was shown last
  std::shared_ptr<const platform::Data> bin_;
  std::array<std::int64_t, 3> binVersion_{0, 0, 0};   // the version of the entry `bin` was downloaded for
  std::shared_ptr<const platform::Data> transferImage_;  // what the running transfer sends
  std::int64_t positionofbin_ = 0;
  std::vector<HIDMonitorData> pv_;
  std::int64_t cnt_ = 0;

  std::atomic<bool> downloadUnderWay_{false};
  platform::GlobalQueue globalQueue_;
};
