#include "ImageDownload.h"

#include <algorithm>

#include "catalogue/CatalogueTexts.h"
#include "catalogue/FirmwareAnswer.h"
#include "catalogue/FirmwareList.h"
#include "catalogue/ImageCheck.h"
#include "catalogue/ListReading.h"
#include "catalogue/ZeroFill.h"

namespace road {
namespace {

constexpr std::size_t kMaxImageBytes = 16u << 20;

using catalogue::Fault;

// With a size given, reading stops as soon as the body is longer than that.
Fault readImage(const std::string& url, const catalogue::ImageCheck& check, const platform::UrlReadOptions& options,
                platform::Data& image) {
  const bool sizeBounds = check.size && *check.size < kMaxImageBytes;
  const std::size_t limit = sizeBounds ? std::max<std::size_t>(1, *check.size) : kMaxImageBytes;
  const Fault tooLarge = sizeBounds ? Fault::imageCheckFailed : Fault::imageTooLarge;
  std::string contentType;
  if (const Fault failure =
          catalogue::readFromServer(url, options, limit, tooLarge, Fault::imageNotRead, image, &contentType);
      failure != Fault::none)
    return failure;
  if (const Fault refusal = catalogue::whyNotFirmware(image, contentType); refusal != Fault::none) return refusal;
  return check.matches(image) ? Fault::none : Fault::imageCheckFailed;
}

}  // namespace

std::vector<const char*> ImageDownload::statusTexts() const {
  if (failure != Fault::none) return {catalogue::textOf(failure)};
  if (checked) return {texts::downloaded, texts::imageChecked};
  return {texts::downloaded};
}

ImageDownload downloadImage(std::string_view line, const platform::UrlReadOptions& options) {
  ImageDownload download;
  const auto fields = catalogue::splitFields(line);
  const std::string url = catalogue::fieldOf(fields, catalogue::fImage);
  catalogue::ImageCheck check;
  if (fields.size() < catalogue::kFieldsToDownload || !platform::isHttpURL(url)) download.failure = Fault::imageBadUrl;
  else if (catalogue::readImageCheck(fields, check) != catalogue::ImageCheckReading::ok)
    download.failure = Fault::imageCheckFailed;
  else download.failure = readImage(url, check, options, download.image);
  if (download.failure != Fault::none) {
    platform::Data().swap(download.image);
    return download;
  }
  download.served = download.image.size();
  catalogue::zeroFill(download.image);
  download.checked = check.checksAnything();
  return download;
}

}  // namespace road
