#include "ViewController.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QThread>

#include "Accessibility.h"
#include "AdapterPicture.h"
#include "FirmwareTableModel.h"
#include "PaintNow.h"
#include "StatusLines.h"
#include "catalogue/TrustedKeys.h"
#include "platform/Diagnostics.h"
#include "platform/MainQueue.h"
#include "road/ListRow.h"
#include "road/SleepInhibitor.h"
#include "translation/StatusTranslation.h"
#include "ui_ViewController.h"

using platform::NotificationCenter;

namespace {
constexpr int kStatusLinesKept = 200;
}

ViewController::ViewController(QString listAddress, QWidget* parent)
    : QWidget(parent),
      ui_(std::make_unique<Ui::ViewController>()),
      listAddress_(std::move(listAddress)),
      trustedKeys_(catalogue::builtInTrustedKeys()),
      effects_(this, {[this](const std::vector<std::string>& texts) { showStatuses(texts); },
                      [this](bool shown) { processBar->setHidden(!shown); },
                      [this](double percent) { processBar->setDoubleValue(percent); },
                      [this](bool enabled) { updateBtn->setEnabled(enabled); },
                      [this](bool enabled) { tableView->setEnabled(enabled); },
                      [this](bool awake) {
                        inhibitor_.reset(awake ? new road::SleepInhibitor : nullptr);
                        if (inhibitor_ && !inhibitor_->holds()) platform::diagnose(inhibitor_->failure());
                        emit writingChanged(awake);
                      }}),
      exchange_(std::make_unique<update::ExchangeThread>(effects_, [this](auto v, auto p) { arm(v, p); })) {
  ui_->setupUi(this);
  processBar = ui_->processBar;
  updateBtn = ui_->updateBtn;
  imagebutton = ui_->imagebutton;
  tableView = ui_->tableView;
  message = ui_->message;
  imagebutton->setIcon(adapterPicture());
  connectActions();
}

ViewController::~ViewController() {
  inhibitor_.reset();  // the window closes: the system may sleep again
  for (auto token : observers_) NotificationCenter::defaultCenter().removeObserver(token);
  globalQueue_.waitForAll();  // a job still running posts to the exchange
  exchange_->stop();          // before anything it may still reach goes
  exchange_.reset();
}

void ViewController::connectActions() {
  connect(tableView, &QTableView::clicked, this, [this] { tableViewOnClick(); });
  connect(updateBtn, &QPushButton::clicked, this, [this] { updateBtnOnClick(); });
  connect(imagebutton, &QAbstractButton::clicked, this, [this] { ImageOnClick(); });
  selectRowsByKeyboard(tableView, [this] { tableViewOnClick(); });
}

void ViewController::viewDidLoad() {
  updateBtn->setEnabled(false);
  processBar->setMaxValue(100.0);
  processBar->setMinValue(0.0);
  processBar->setDoubleValue(0.0);
  processBar->setHidden(true);
  paintNow(*this);
  readlst();
  auto& center = NotificationCenter::defaultCenter();
  observers_.push_back(center.addObserver(HIDDeviceConnected, [this](const auto& n) { usbConnected(n); }));
  observers_.push_back(center.addObserver(HIDDeviceDisconnected, [this](const auto& n) { usbDisconnected(n); }));
  observers_.push_back(center.addObserver(HIDDeviceDataReceived, [this](const auto& n) { hidReadData(n); }));
  observers_.push_back(center.addObserver(HIDDeviceAccessDenied, [this](const auto& n) { usbAccessDenied(n); }));
  // The table asks for its rows only now that the list has been read.
  model_ = new FirmwareTableModel(this);
  tableView->setItemDelegate(new FirmwareCellDelegate(tableView));
  // Sized before the rows come: set afterwards, it would visit each of them.
  tableView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  tableView->verticalHeader()->setDefaultSectionSize(FirmwareCellDelegate::rowHeight(tableView->fontMetrics()));
  tableView->setModel(model_);
  selectedRow = static_cast<std::int32_t>(tableSelectedRow());
}

void ViewController::showAndLoad() {
  show();
  viewDidLoad();
}

int ViewController::tableSelectedRow() const {
  const auto* selection = tableView->selectionModel();
  if (!selection) return -1;
  const auto rows = selection->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

int ViewController::numberOfRows() const { return lines ? static_cast<int>(lines->size()) : 0; }

tableViewCell* ViewController::tableViewViewForRow(int row) {
  const road::ListRow shown = road::rowOf((*lines)[static_cast<std::size_t>(row)]);
  cell_.mTitle = QString::fromStdString(shown.title);
  cell_.mDetial = QString::fromStdString(shown.detail);
  return &cell_;
}

void ViewController::showStatus(const QString& text) { showStatuses({text.toStdString()}); }

// Widgets are only ever touched on the window's thread; a slip here would be
// a data race that no sanitizer sees, so it stops the program instead. The
// line keeps its last 200 lines: replies that keep coming must not make every
// change of it slower than the last. Texts are shown in the user's language.
void ViewController::showStatuses(const std::vector<std::string>& texts) {
  if (QThread::currentThread() != thread()) qFatal("status line changed off the window's thread");
  QString value = message->stringValue();
  QString added;
  for (const auto& text : texts) {
    const QString t = translation::translatedStatus(text);
    const bool appended = t.startsWith(QStringLiteral("\r\n"));
    value = appended ? value + t : t;
    added = appended ? added + t : t;
  }
  message->setStringValue(lastLines(value, kStatusLinesKept));
  announceStatus(message, added);
}

void ViewController::postStatus(const QString& text) { effects_.status(text.toStdString()); }

std::shared_ptr<HIDDeviceMonitor> ViewController::rfDeviceMonitor() const {
  std::lock_guard lock(monitorMutex_);
  return rfDeviceMonitor_;
}

std::int64_t ViewController::state() const {
  return ask([](const auto& e) { return e.state(); });
}
bool ViewController::isConnected() const {
  return ask([](const auto& e) { return e.isConnected(); });
}
std::shared_ptr<RFDevice> ViewController::connectedDevice() const {
  return ask([](const auto& e) { return e.connectedDevice(); });
}
std::optional<platform::Data> ViewController::rdata() const {
  return ask([](const auto& e) { return e.rdata(); });
}
std::vector<std::uint8_t> ViewController::start_tab() const {
  return ask([](const auto& e) { return e.start_tab(); });
}
std::shared_ptr<const platform::Data> ViewController::bin() const {
  return ask([](const auto& e) { return e.bin(); });
}
std::int64_t ViewController::positionofbin() const {
  return ask([](const auto& e) { return e.positionofbin(); });
}
std::vector<HIDMonitorData> ViewController::pv() const {
  return ask([](const auto& e) { return e.pv(); });
}
std::int64_t ViewController::cnt() const {
  return ask([](const auto& e) { return e.cnt(); });
}
bool ViewController::exchangeBusy() const {
  return ask([](const auto& e) { return e.updateUnderWay() || e.pausing() || e.askingReturned(); });
}
