#include "ListRead.h"

#include "ServerRead.h"
#include "catalogue/CatalogueTexts.h"
#include "platform/TextDecoding.h"

namespace road {
namespace {
constexpr std::size_t kMaxListBytes = 4u << 20;
}

ListRead readList(const std::string& address, const platform::UrlReadOptions& options) {
  ListRead read;
  if (!platform::isHttpURL(address)) return read;
  platform::Data bytes;
  read.text = readFromServer(address, options, kMaxListBytes, texts::listTooLarge, texts::listFailed, bytes);
  if (read.text) return read;
  if (!platform::isUTF8(bytes)) {
    read.text = texts::listNotText;
    return read;
  }
  // Already the form the tool keeps its texts in: the bytes become the lines
  // without a copy.
  read.lines.emplace(std::move(bytes));
  read.text = texts::listRead;
  return read;
}

}  // namespace road
