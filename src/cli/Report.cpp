#include "Report.h"

#include <unistd.h>
#include <QJsonDocument>
#include <algorithm>
#include <chrono>

#include "TimeLeft.h"
#include "platform/Diagnostics.h"
#include "platform/TextDecoding.h"
#include "translation/StatusTranslation.h"

namespace cli {

// The device link's diagnostics come here, as texts: standard output carries
// only the data a script reads.
Report::Report(bool json) : json_(json), terminal_(::isatty(STDERR_FILENO) == 1), out_(stdout) {
  platform::setDiagnosticsSink([this](const std::string& line) { text(line); });
}

Report::~Report() { platform::setDiagnosticsSink(nullptr); }

// On a terminal the progress lines, one per adapter, stay below the texts:
// the cursor goes back to the first of them, a text takes its place, and
// they are drawn again after it.
void Report::drawProgress() {
  for (const auto& [port, line] : progressLines_) std::fprintf(stderr, "%s\033[K\n", line.c_str());
}

void Report::liftProgress() {
  if (!progressLines_.empty()) std::fprintf(stderr, "\033[%zuA\r", progressLines_.size());
}

std::string Report::shown(std::string_view text) {
  if (text.substr(0, 2) == "\r\n") text.remove_prefix(2);
  return translation::translatedStatus(text).toStdString();
}

// Texts and data are written in the locale's encoding, as a terminal under it
// shows them; JSON stays UTF-8, as JSON is.
void Report::text(std::string_view text) {
  const std::string line = platform::inLocaleEncoding(shown(text));
  std::lock_guard lock(mutex_);
  liftProgress();
  std::fprintf(stderr, "%s%s\n", line.c_str(), progressLines_.empty() ? "" : "\033[K");
  drawProgress();
  std::fflush(stderr);
}

void Report::event(const char* name, QJsonObject fields) {
  std::lock_guard lock(mutex_);
  if (!json_ || !out_) return;
  fields.insert(QStringLiteral("event"), QString::fromUtf8(name));
  const QByteArray line = QJsonDocument(fields).toJson(QJsonDocument::Compact);
  std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), out_);
  std::fputc('\n', out_);
  std::fflush(out_);
}

void Report::data(std::string_view text) {
  std::lock_guard lock(mutex_);
  if (json_ || !out_) return;
  const std::string encoded = platform::inLocaleEncoding(std::string(text));
  std::fwrite(encoded.data(), 1, encoded.size(), out_);
  std::fflush(out_);
}

void Report::progress(const std::string& port, double percent, std::size_t piece, std::size_t pieces) {
  std::lock_guard lock(mutex_);
  if (json_) {
    event("progress", {{"port", QString::fromStdString(port)},
                       {"percent", percent},
                       {"piece", static_cast<qint64>(piece)},
                       {"pieces", static_cast<qint64>(pieces)}});
    return;
  }
  char figures[64];
  std::snprintf(figures, sizeof figures, " %5.1f%% (%zu/%zu)", percent, piece, pieces);
  std::string line = port + figures;
  if (!terminal_) {
    std::fprintf(stderr, "%s\n", line.c_str());
  } else {
    // Piece 0 goes out when the transfer starts: the pace is counted from it.
    const auto now = std::chrono::steady_clock::now();
    if (piece == 0) progressStarts_[port] = now;
    const auto start = progressStarts_.find(port);
    if (start != progressStarts_.end())
      line += timeLeftText(std::chrono::duration<double>(now - start->second).count(), piece, pieces);
    liftProgress();
    auto it =
        std::find_if(progressLines_.begin(), progressLines_.end(), [&](const auto& p) { return p.first == port; });
    if (it == progressLines_.end()) progressLines_.emplace_back(port, line);
    else it->second = line;
    drawProgress();
  }
  std::fflush(stderr);
}

ExitCode Report::fail(catalogue::Fault fault, const std::string& port) {
  return fail(catalogue::textOf(fault), failureOf(fault), port);
}

ExitCode Report::fail(std::string_view text, Failure failure, const std::string& port) {
  std::lock_guard lock(mutex_);
  this->text(text);
  return failed(text, failure, port);
}

ExitCode Report::failed(std::string_view text, Failure failure, const std::string& port) {
  std::lock_guard lock(mutex_);
  QJsonObject fields{
      {"code", failure.code}, {"text", QString::fromStdString(shown(text))}, {"exit", static_cast<int>(failure.exit)}};
  if (!port.empty()) fields.insert(QStringLiteral("port"), QString::fromStdString(port));
  event("failed", fields);
  return failure.exit;
}

}  // namespace cli
