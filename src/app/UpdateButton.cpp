// The update button: the current entry's image is downloaded on the global
// queue and handed to the exchange with the entry it belongs to.
#include "StatusTexts.h"
#include "ViewController.h"
#include "catalogue/FirmwareList.h"
#include "catalogue/ImageCheck.h"
#include "catalogue/ZeroFill.h"

namespace {
constexpr std::size_t kMaxImageBytes = 16u << 20;
}  // namespace

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
  const auto fields = catalogue::splitFields(line);
  const std::string url = catalogue::fieldOf(fields, catalogue::fImage);
  catalogue::ImageCheck check;
  platform::Data image;
  const char* failure = nullptr;
  if (fields.size() < catalogue::kFieldsToDownload || !platform::isHttpURL(url)) failure = texts::imageBadUrl;
  else if (catalogue::readImageCheck(fields, check) != catalogue::ImageCheckReading::ok) failure = texts::imageCheckFailed;
  else failure = downloadImage(url, check, image);
  if (failure) {
    postStatus(failure);
    exchange_->post([](update::AdapterExchange& exchange) { exchange.downloadFailed(); });
    return;
  }
  catalogue::zeroFill(image);
  postStatus(texts::downloaded);
  if (check.checksAnything()) postStatus(texts::imageChecked);
  writeData(std::make_shared<const platform::Data>(std::move(image)), entry);
}

void ViewController::writeData(std::shared_ptr<const platform::Data> image, const update::FirmwareEntry& entry) {
  exchange_->post([image = std::move(image), entry](update::AdapterExchange& exchange) {
    exchange.imageDownloaded(image, entry);
  });
}

// An image that is not the one the entry describes is never kept, so nothing
// of it can reach the adapter. With a size given, reading stops as soon as the
// body is longer than that.
const char* ViewController::downloadImage(const std::string& url, const catalogue::ImageCheck& check,
                                          platform::Data& image) const {
  const bool sizeBounds = check.size && *check.size < kMaxImageBytes;
  const std::size_t limit = sizeBounds ? std::max<std::size_t>(1, *check.size) : kMaxImageBytes;
  const char* tooLarge = sizeBounds ? texts::imageCheckFailed : texts::imageTooLarge;
  if (const char* failure = readFromServer(url, imageReadOptions_, limit, tooLarge, texts::downloadFailed, image))
    return failure;
  return check.matches(image) ? nullptr : texts::imageCheckFailed;
}
