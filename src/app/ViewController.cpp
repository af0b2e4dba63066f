#include "ViewController.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QThread>

#include "FirmwareTableModel.h"
#include "catalogue/FirmwareList.h"
#include "platform/MainQueue.h"
#include "ui_ViewController.h"

using platform::NotificationCenter;

ViewController::ViewController(QString listAddress, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::ViewController>()), listAddress_(std::move(listAddress)) {
  ui_->setupUi(this);
  processBar = ui_->processBar;
  updateBtn = ui_->updateBtn;
  imagebutton = ui_->imagebutton;
  tableView = ui_->tableView;
  message = ui_->message;
  connectActions();
}

ViewController::~ViewController() {
  for (auto token : observers_) NotificationCenter::defaultCenter().removeObserver(token);
  globalQueue_.waitForAll();
}

void ViewController::connectActions() {
  connect(tableView, &QTableView::clicked, this, [this] { tableViewOnClick(); });
  connect(updateBtn, &QPushButton::clicked, this, [this] { updateBtnOnClick(); });
  connect(imagebutton, &QPushButton::clicked, this, [this] { ImageOnClick(); });
}

void ViewController::viewDidLoad() {
  updateBtn->setEnabled(false);
  processBar->setMaxValue(100.0);
  processBar->setMinValue(0.0);
  processBar->setDoubleValue(0.0);
  processBar->setHidden(true);
  readlst();
  auto& center = NotificationCenter::defaultCenter();
  observers_.push_back(center.addObserver(HIDDeviceConnected, [this](const auto& n) { usbConnected(n); }));
  observers_.push_back(center.addObserver(HIDDeviceDisconnected, [this](const auto& n) { usbDisconnected(n); }));
  observers_.push_back(center.addObserver(HIDDeviceDataReceived, [this](const auto& n) { hidReadData(n); }));
  // The table asks for its rows only now that the list has been read.
  model_ = new FirmwareTableModel(this);
  tableView->setItemDelegate(new FirmwareCellDelegate(tableView));
  tableView->setModel(model_);
  tableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  tableView->verticalHeader()->setDefaultSectionSize(FirmwareCellDelegate::rowHeight(tableView->fontMetrics()));
  selectedRow = static_cast<std::int32_t>(tableSelectedRow());
}

int ViewController::tableSelectedRow() const {
  const auto* selection = tableView->selectionModel();
  if (!selection) return -1;
  const auto rows = selection->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

int ViewController::numberOfRows() const { return lines ? static_cast<int>(lines->size()) : 0; }

tableViewCell* ViewController::tableViewViewForRow(int row) {
  const auto fields = catalogue::splitFields((*lines)[static_cast<std::size_t>(row)]);
  cell_.mTitle = QString::fromStdString(catalogue::fieldOf(fields, catalogue::fTitle));
  cell_.mDetial = QString::fromStdString(catalogue::fieldOf(fields, catalogue::fDetail)) + QStringLiteral("  ") +
                  QString::fromStdString(catalogue::fieldOf(fields, catalogue::fVersion));
  return &cell_;
}

// Widgets are only ever touched on the window's thread; a slip here would be
// a data race that no sanitizer sees, so it stops the program instead.
void ViewController::showStatus(const QString& text) {
  if (QThread::currentThread() != thread()) qFatal("status line changed off the window's thread");
  if (text.startsWith(QStringLiteral("\r\n"))) message->setStringValue(message->stringValue() + text);
  else message->setStringValue(text);
}

void ViewController::postStatus(const QString& text) {
  platform::mainQueueAsync(this, [this, text] { showStatus(text); });
}

std::shared_ptr<RFDevice> ViewController::connectedDevice() const {
  std::lock_guard lock(linkMutex_);
  return connectedDevice_;
}

using Version = std::array<std::int64_t, 3>;
#define GUARDED_GETTER(type, name, field) \
  type ViewController::name() const {     \
    std::lock_guard lock(fieldsMutex_);   \
    return field;                         \
  }
GUARDED_GETTER(std::optional<platform::Data>, rdata, rdata_)
GUARDED_GETTER(std::vector<std::uint8_t>, start_tab, start_tab_)
GUARDED_GETTER(std::shared_ptr<HIDDeviceMonitor>, rfDeviceMonitor, rfDeviceMonitor_)
GUARDED_GETTER(std::uint32_t, vid, vid_)
GUARDED_GETTER(std::uint32_t, pid, pid_)
GUARDED_GETTER(std::shared_ptr<const platform::Data>, bin, bin_)
GUARDED_GETTER(Version, version, version_)
GUARDED_GETTER(std::int64_t, positionofbin, positionofbin_)
GUARDED_GETTER(std::vector<HIDMonitorData>, pv, pv_)
GUARDED_GETTER(std::int64_t, cnt, cnt_)
#undef GUARDED_GETTER
