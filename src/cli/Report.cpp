#include "Report.h"

#include <QJsonDocument>
#include <unistd.h>

namespace cli {

// The command's own standard output is kept aside and the descriptor itself
// points at standard error: a diagnostic printed deep in a library can never
// mix with the data a script reads.
Report::Report(bool json) : json_(json), terminal_(::isatty(STDERR_FILENO) == 1) {
  std::fflush(stdout);
  out_ = ::fdopen(::dup(STDOUT_FILENO), "w");
  ::dup2(STDERR_FILENO, STDOUT_FILENO);
}

Report::~Report() {
  endProgressLine();
  if (out_) std::fclose(out_);
}

void Report::endProgressLine() {
  if (!progressLineOpen_) return;
  std::fputc('\n', stderr);
  progressLineOpen_ = false;
}

void Report::text(std::string_view text) {
  std::lock_guard lock(mutex_);
  if (text.substr(0, 2) == "\r\n") text.remove_prefix(2);
  endProgressLine();
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
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
  std::fwrite(text.data(), 1, text.size(), out_);
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
  std::fprintf(stderr, "%s%s %5.1f%% (%zu/%zu)%s", terminal_ ? "\r" : "", port.c_str(), percent, piece, pieces,
               terminal_ ? "" : "\n");
  progressLineOpen_ = terminal_;
  std::fflush(stderr);
}

ExitCode Report::fail(const char* text, const std::string& port) { return fail(text, failureOf(text), port); }

ExitCode Report::fail(std::string_view text, Failure failure, const std::string& port) {
  std::lock_guard lock(mutex_);
  this->text(text);
  return failed(text, failure, port);
}

ExitCode Report::failed(std::string_view text, Failure failure, const std::string& port) {
  std::lock_guard lock(mutex_);
  if (text.substr(0, 2) == "\r\n") text.remove_prefix(2);
  QJsonObject fields{{"code", failure.code},
                     {"text", QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))},
                     {"exit", static_cast<int>(failure.exit)}};
  if (!port.empty()) fields.insert(QStringLiteral("port"), QString::fromStdString(port));
  event("failed", fields);
  return failure.exit;
}

}  // namespace cli
