#pragma once
#include <QJsonObject>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Failure.h"

namespace cli {

// Where the command line's output goes. Standard output carries only what
// was asked for (rows, a description, or with --json one JSON object per
// line); the texts, one per line, and the device link's diagnostics go to
// standard error. Any thread may report.
class Report {
 public:
  explicit Report(bool json);
  ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  bool json() const { return json_; }
  // A text of the tool as the user reads it: in the user's language, without
  // the line break that appends it. Texts of its own (ports, figures) pass as
  // they are.
  static std::string shown(std::string_view text);
  // One of the tool's texts, without the line break that appends it.
  void text(std::string_view text);
  // An event of the road; written only with --json.
  void event(const char* name, QJsonObject fields);
  // What was asked for, without --json.
  void data(std::string_view text);
  // The percentage written so far: on a terminal one line per adapter,
  // redrawn in place below the texts; a line per change otherwise; an
  // event with --json.
  void progress(const std::string& port, double percent, std::size_t piece, std::size_t pieces);
  // Says why the road stopped and returns its exit code.
  ExitCode fail(catalogue::Fault fault, const std::string& port = "");
  ExitCode fail(std::string_view text, Failure failure, const std::string& port = "");
  // Reports a failure whose text was said already.
  ExitCode failed(std::string_view text, Failure failure, const std::string& port = "");

 private:
  void drawProgress();
  void liftProgress();

  const bool json_;
  const bool terminal_;
  std::FILE* out_;
  std::vector<std::pair<std::string, std::string>> progressLines_;               // by port, in order of arrival
  std::map<std::string, std::chrono::steady_clock::time_point> progressStarts_;  // by port
  // The exchange's thread, the signals' thread and the command all report.
  std::recursive_mutex mutex_;
};

}  // namespace cli
