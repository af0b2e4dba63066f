#pragma once

namespace cli {
// What a script can act on; the same in --help, the README and the man page.
enum ExitCode : int {
  kDone = 0,
  kAdapterFailed = 1,  // the adapter left, went quiet or refused a report
  kUsage = 2,
  kNotRead = 3,       // the list, a description or the image could not be read
  kNoAdapter = 4,     // no adapter, more than one, or not the entry's ids
  kImageRefused = 5,  // the image refused by its checks
  kAccessDenied = 6,  // an adapter is attached but may not be opened
  kUnconfirmed = 7,   // written, but not plugged in again in time to say its version
  kOtherVersion = 8,  // plugged in again, it runs another version than the one written
};
}  // namespace cli
