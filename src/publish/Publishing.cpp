#include "Publishing.h"

#include <QFile>
#include <filesystem>
#include <variant>

#include "ListFilling.h"
#include "PendingFile.h"
#include "SignatureWriting.h"
#include "catalogue/ListReading.h"
#include "platform/TextDecoding.h"

namespace publish {
namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

std::optional<std::string> readWhole(const std::string& path) {
  QFile file(QString::fromStdString(path));
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error) || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return bytes.toStdString();
}

Published fault(PublishFault kind, const std::string& path) {
  Published published;
  published.fault = kind;
  published.path = path;
  return published;
}

// The key, asking for its password only when it has one.
std::variant<SecretKey, Published> keyFor(const PublishRequest& request) {
  const auto text = readWhole(request.secretKey);
  if (!text) return fault(PublishFault::keyNotRead, request.secretKey);
  std::string password;
  if (needsPassword(*text)) {
    auto given = request.password ? request.password() : std::nullopt;
    if (!given || given->empty()) return fault(PublishFault::passwordNeeded, request.secretKey);
    password = std::move(*given);
  }
  const SecretKeyRead read = readSecretKey(*text, password);
  switch (read.problem) {
    case SecretKeyRead::Problem::none: return *read.key;
    case SecretKeyRead::Problem::passwordNeeded: return fault(PublishFault::passwordNeeded, request.secretKey);
    case SecretKeyRead::Problem::wrongPassword: return fault(PublishFault::wrongPassword, request.secretKey);
    case SecretKeyRead::Problem::notAKey: break;
  }
  return fault(PublishFault::notAKey, request.secretKey);
}

void noteLines(const FilledList& filled, Published& published) {
  for (const FilledLine& line : filled.lines) {
    if (line.filled) ++published.filled;
    else published.unfound.push_back({line.line, line.url, line.hasHash});
    if (!line.hasHash && published.line == 0) published.line = line.line;
  }
}

}  // namespace

Published publishList(const PublishRequest& request) {
  const auto list = readWhole(request.list);
  if (!list) return fault(PublishFault::listNotRead, request.list);
  if (list->size() > catalogue::kMaxListBytes) return fault(PublishFault::listTooLarge, request.list);
  if (!platform::isUTF8(platform::Data(list->begin(), list->end())))
    return fault(PublishFault::listNotText, request.list);
  auto key = keyFor(request);
  if (auto* failed = std::get_if<Published>(&key)) return *failed;

  Published published;
  const FilledList filled = fillList(*list, imagesUnderRoot(request.root));
  noteLines(filled, published);
  if (published.line != 0) {
    published.fault = PublishFault::hashMissing;
    published.path = request.list;
    return published;
  }
  published.signedName = std::filesystem::path(request.list).filename().string();
  if (request.expiresInDays) published.expiresAt = request.now + *request.expiresInDays * kDay;
  const std::string comment = publisherComment(request.now, published.signedName, published.expiresAt);
  const platform::Data bytes(filled.text.begin(), filled.text.end());
  const std::string signature = signatureFile(bytes, std::get<SecretKey>(key), comment);
  // Both are written out before either replaces its file. Between the two
  // renames a reader finds a list and a signature that do not match: refused.
  const std::string signaturePath = request.list + ".minisig";
  PendingFile newList(request.list), newSignature(signaturePath);
  if (!newList.write(filled.text)) return fault(PublishFault::notWritten, request.list);
  if (!newSignature.write(signature)) return fault(PublishFault::notWritten, signaturePath);
  if (!newList.commit()) return fault(PublishFault::notWritten, request.list);
  if (!newSignature.commit()) return fault(PublishFault::notWritten, signaturePath);
  return published;
}

}  // namespace publish
