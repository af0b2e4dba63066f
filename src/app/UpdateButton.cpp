// The update button: the current entry's image is downloaded on the global
// queue and handed to the exchange with the entry it belongs to.
#include "StatusTexts.h"
#include "ViewController.h"
#include "road/ImageDownload.h"

void ViewController::updateBtnOnClick() {
  if (tableSelectedRow() == selectedRow) return;
  if (!currentLine_) return;
  const update::FirmwareEntry entry{vid_, pid_, version_};
  // The exchange decides whether an update may start now; the download runs
  // only when it says so, and it knows of the download until it ends.
  exchange_->post([this, line = *currentLine_, entry](update::AdapterExchange& exchange) {
    if (!exchange.updatePressed(entry)) return;
    postStatus(texts::downloading);
    globalQueue_.async([this, line, entry] { downloadJob(line, entry); });
  });
}

void ViewController::downloadJob(const std::string& line, const update::FirmwareEntry& entry) {
  road::ImageDownload download = road::downloadImage(line, imageReadOptions_);
  for (const char* text : download.statusTexts()) postStatus(text);
  if (download.failure != catalogue::Fault::none) {
    exchange_->post([](update::AdapterExchange& exchange) { exchange.downloadFailed(); });
    return;
  }
  writeData(std::make_shared<const platform::Data>(std::move(download.image)), entry);
}

void ViewController::writeData(std::shared_ptr<const platform::Data> image, const update::FirmwareEntry& entry) {
  exchange_->post(
      [image = std::move(image), entry](update::AdapterExchange& exchange) { exchange.imageDownloaded(image, entry); });
}
