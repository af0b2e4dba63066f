#include "ListRead.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "catalogue/ListReading.h"
#include "platform/Formatted.h"
#include "platform/VisibleText.h"

namespace road {

ListRead readList(const std::string& address, const platform::UrlReadOptions& options,
                  const std::vector<catalogue::PublicKey>& trustedKeys) {
  ListRead read;
  if (!platform::isHttpURL(address)) return read;
  catalogue::ListReading reading = catalogue::readFirmwareList(address, options, trustedKeys);
  read.failure = reading.failure;
  read.lines = std::move(reading.lines);
  read.signedList = reading.signedList;
  read.comment = std::move(reading.comment);
  read.signature = std::move(reading.signature);
  return read;
}

std::string dayOf(std::int64_t unixSeconds) {
  const std::time_t t = static_cast<std::time_t>(unixSeconds);
  std::tm utc{};
  gmtime_r(&t, &utc);
  char day[16];
  std::strftime(day, sizeof day, "%Y-%m-%d", &utc);
  return day;
}

std::string failureTextOf(const ListRead& read) {
  const char* pattern = catalogue::textOf(read.failure);
  if (!pattern) return "";
  std::string value;
  if (read.failure == catalogue::Fault::listExpired && read.comment.expiresAt) value = dayOf(*read.comment.expiresAt);
  if (read.failure == catalogue::Fault::listOtherFile && read.comment.file)
    value = platform::visibleField(*read.comment.file);
  if (std::string_view(pattern).find("%s") == std::string_view::npos) return pattern;
  return platform::formatted(pattern, value.c_str());
}

}  // namespace road
