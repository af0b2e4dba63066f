#pragma once
#include <QAbstractButton>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QString>
#include <QTableView>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "WindowEffects.h"
#include "catalogue/ImageCheck.h"
#include "catalogue/ListLines.h"
#include "catalogue/ListSignature.h"
#include "devicelink/HIDDeviceMonitor.h"
#include "devicelink/HIDMonitorData.h"
#include "devicelink/RFDevice.h"
#include "platform/Data.h"
#include "platform/GlobalQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/ProgressIndicator.h"
#include "platform/Sleep.h"
#include "platform/StatusField.h"
#include "platform/Thread.h"
#include "platform/UrlReader.h"
#include "tableViewCell.h"
#include "update/AdapterReports.h"
#include "update/ExchangeThread.h"
#include "update/FirmwareEntry.h"
#include "update/stateConstants.h"

namespace Ui {
class ViewController;
}
class FirmwareTableModel;
namespace road {
class SleepInhibitor;
}

// The controller of the tool's only window.
//
// Threads: the window's thread runs the actions and every view change; the
// download job runs on the controller's global queue; each armed HID monitor
// runs on its own thread. The exchange with the adapter (protocol state, the
// connected adapter, the image and its pieces) lives on one thread of its own:
// the actions, the job and the monitors' notifications only post requests to
// it, and the accessors below ask it. The current entry (`vid`, `pid`,
// `version`) belongs to the window's thread.
class ViewController : public QWidget {
  Q_OBJECT

 public:
  // The list address is the built-in constant for the tool; tests and the demo
  // point it at their own firmware server.
  explicit ViewController(QString listAddress, QWidget* parent = nullptr);
  ~ViewController() override;

  void viewDidLoad();
  // Shows the window, then loads it: the window is drawn, with a busy
  // pointer, while the list is read.
  void showAndLoad();

  // Firmware table (data source and delegate).
  int numberOfRows() const;
  tableViewCell* tableViewViewForRow(int row);

  // Catalogue.
  void readlst();
  void tableViewOnClick();
  void updateBtnOnClick();

  // Device update.
  void ImageOnClick();
  bool isInMonitor(std::int64_t VID, std::int64_t PID);
  // Hands a downloaded image, filled up with zeros, to the exchange for the
  // entry it was downloaded for.
  void writeData(std::shared_ptr<const platform::Data> image, const update::FirmwareEntry& entry);

  // Notification handlers, called on a monitor's thread.
  void usbConnected(const platform::Notification& notification);
  void usbDisconnected(const platform::Notification& notification);
  void hidReadData(const platform::Notification& notification);
  void usbAccessDenied(const platform::Notification& notification);

  // Seams for tests: every protocol pause, and the reads of URLs.
  void setSleeper(platform::Sleeper sleeper) { exchange_->setSleeper(std::move(sleeper)); }
  // How long a silent adapter is waited for.
  void setDeadlines(update::Deadlines deadlines) { exchange_->setDeadlines(deadlines); }
  // The list and the descriptions, and the images: deadlines and limits of speed.
  void setTextReadOptions(const platform::UrlReadOptions& options) { textReadOptions_ = options; }
  void setImageReadOptions(const platform::UrlReadOptions& options) { imageReadOptions_ = options; }
  // A key trusted to sign the list besides the built-in ones (tests, the demo
  // harness); before the window loads.
  void addTrustedKey(const catalogue::PublicKey& key) { trustedKeys_.push_back(key); }
  bool listSigned() const { return listSigned_; }

  // Outlets.
  QPointer<ProgressIndicator> processBar;
  QPointer<QPushButton> updateBtn;
  QPointer<QAbstractButton> imagebutton;
  QPointer<QTableView> tableView;
  QPointer<StatusField> message;

  // Stored fields.
  const std::vector<std::uint8_t> check_tab{update::reports::kQuery.begin(), update::reports::kQuery.end()};
  std::optional<catalogue::ListLines> lines;
  // The list text after the deletion of "\r": the text `lines` is kept in.
  std::optional<std::string_view> lst() const { return lines ? std::optional(lines->text()) : std::nullopt; }
  std::int32_t selectedRow = 1000000;
  std::uint32_t vid() const { return vid_; }
  std::uint32_t pid() const { return pid_; }
  std::array<std::int64_t, 3> version() const { return version_; }
  std::shared_ptr<HIDDeviceMonitor> rfDeviceMonitor() const;
  // The exchange's fields, as it holds them when asked.
  std::int64_t state() const;
  bool isConnected() const;
  std::shared_ptr<RFDevice> connectedDevice() const;
  std::optional<platform::Data> rdata() const;
  std::vector<std::uint8_t> start_tab() const;
  std::shared_ptr<const platform::Data> bin() const;
  std::int64_t positionofbin() const;
  std::vector<HIDMonitorData> pv() const;
  std::int64_t cnt() const;
  // Whether an update, a download or a pause of the exchange is under way.
  bool exchangeBusy() const;

 signals:
  // From the start report to the end of the transfer, however it ends.
  void writingChanged(bool writing);

 protected:
  // While an image is being written, closing asks first.
  void closeEvent(QCloseEvent* event) override;

 private:
  void askBeforeClosing();
  void connectActions();
  void showStatus(const QString& text);
  void showStatuses(const std::vector<std::string>& texts);
  void postStatus(const QString& text);
  int tableSelectedRow() const;
  void arm(std::int64_t vid, std::int64_t pid);
  void selectionFailed();
  void selectRow(int row);
  void downloadJob(const std::string& line, const update::FirmwareEntry& entry);
  template <typename Query>
  auto ask(Query query) const {
    return exchange_->call(
        [&](update::AdapterExchange& e) { return query(static_cast<const update::AdapterExchange&>(e)); });
  }

  std::unique_ptr<Ui::ViewController> ui_;
  FirmwareTableModel* model_ = nullptr;
  tableViewCell cell_;
  QString listAddress_;
  platform::UrlReadOptions textReadOptions_ = platform::UrlReadOptions::forText();
  platform::UrlReadOptions imageReadOptions_ = platform::UrlReadOptions::forImage();
  std::vector<catalogue::PublicKey> trustedKeys_;
  bool listSigned_ = false;  // then every entry must carry its image's hash
  std::vector<platform::NotificationCenter::Token> observers_;

  // The current entry: the one whose description was shown last.
  std::uint32_t vid_ = 0;
  std::uint32_t pid_ = 0;
  std::array<std::int64_t, 3> version_{0, 0, 0};
  std::optional<std::string> currentLine_;
  int currentRow_ = -1;

  mutable std::mutex monitorMutex_;  // the monitors are armed on the exchange's thread
  std::shared_ptr<HIDDeviceMonitor> rfDeviceMonitor_;
  std::shared_ptr<platform::Thread> rfDeviceDaemon_;

  std::unique_ptr<road::SleepInhibitor> inhibitor_;  // held while an image is being written
  bool closeConfirmed_ = false;
  QPointer<QMessageBox> closeQuestion_;
  WindowEffects effects_;
  platform::GlobalQueue globalQueue_;
  std::unique_ptr<update::ExchangeThread> exchange_;  // last: it goes first
};
