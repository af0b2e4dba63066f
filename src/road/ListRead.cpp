#include "ListRead.h"

#include "catalogue/ListReading.h"

namespace road {

ListRead readList(const std::string& address, const platform::UrlReadOptions& options,
                  const std::vector<catalogue::PublicKey>& trustedKeys) {
  ListRead read;
  if (!platform::isHttpURL(address)) return read;
  catalogue::ListReading reading = catalogue::readFirmwareList(address, options, trustedKeys);
  read.failure = reading.failure;
  read.lines = std::move(reading.lines);
  read.signedList = reading.signedList;
  return read;
}

}  // namespace road
