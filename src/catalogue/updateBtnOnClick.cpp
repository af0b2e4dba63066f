// The update button: the current entry's image is downloaded on the global
// queue and handed to the transfer.
#include <algorithm>

#include "FirmwareList.h"
#include "ImageCheck.h"
#include "ZeroFill.h"
#include "app/StatusTexts.h"
#include "app/ViewController.h"

namespace {
constexpr std::size_t kMaxImageBytes = 16u << 20;

bool fitsInAByte(const std::array<std::int64_t, 3>& v) {
  return std::all_of(v.begin(), v.end(), [](std::int64_t n) { return n >= 0 && n <= 255; });
}

// Clears the download flag however the job ends.
struct DownloadFlag {
  std::atomic<bool>& flag;
  ~DownloadFlag() { flag = false; }
};
}  // namespace

bool ViewController::transferOrDownloadUnderWay() const {
  return downloadUnderWay_ || state == stateConstants::stGetResponseOfStartWriteData;
}

void ViewController::updateBtnOnClick() {
  if (tableSelectedRow() == selectedRow) return;
  if (transferOrDownloadUnderWay()) return;
  std::optional<std::string> line;
  std::array<std::int64_t, 3> entryVersion;
  {
    std::lock_guard lock(fieldsMutex_);
    line = currentLine_;
    entryVersion = version_;
  }
  if (!line) return;
  if (!fitsInAByte(entryVersion)) {
    showStatus(texts::versionOutOfRange);
    return;
  }
  postStatus(texts::downloading);
  downloadUnderWay_ = true;
  globalQueue_.async([this, copy = *line, entryVersion] {
    DownloadFlag done{downloadUnderWay_};
    downloadJob(copy, entryVersion);
  });
}

void ViewController::downloadJob(const std::string& line, std::array<std::int64_t, 3> entryVersion) {
  const auto fields = catalogue::splitFields(line);
  const std::string url = catalogue::fieldOf(fields, catalogue::fImage);
  if (fields.size() < catalogue::kFieldsToDownload || !platform::isHttpURL(url)) {
    postStatus(texts::imageBadUrl);
    return;
  }
  catalogue::ImageCheck check;
  platform::Data image;
  const char* failure = catalogue::readImageCheck(fields, check) == catalogue::ImageCheckReading::ok
                            ? downloadImage(url, check, image)
                            : texts::imageCheckFailed;
  if (failure) {
    postStatus(failure);
    return;
  }
  storeImage(std::move(image), entryVersion);
  postStatus(texts::downloaded);
  if (check.checksAnything()) postStatus(texts::imageChecked);
  writeData();
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

void ViewController::storeImage(platform::Data image, std::array<std::int64_t, 3> entryVersion) {
  catalogue::zeroFill(image);
  auto stored = std::make_shared<const platform::Data>(std::move(image));
  std::lock_guard lock(fieldsMutex_);
  bin_ = std::move(stored);
  binVersion_ = entryVersion;
}
