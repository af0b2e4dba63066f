// ringflash-publish: a firmware publisher's list made ready for the field,
// the image hashes and sizes filled in and the list signed.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <ctime>
#include <filesystem>
#include <iostream>

#include "PasswordPrompt.h"
#include "PublishTexts.h"
#include "Publishing.h"
#include "catalogue/ListAddress.h"
#include "platform/Formatted.h"
#include "platform/VisibleText.h"
#include "translation/Language.h"
#include "translation/StatusTranslation.h"

#ifndef RINGFLASH_VERSION
#error "RINGFLASH_VERSION must be set at build time"
#endif

namespace {

constexpr int kMostDays = 3650;
// The name the field reads the list under: a list signed under another is refused.
const std::string kListName = std::filesystem::path(catalogue::kListPath).filename().string();

template <typename... Values>
void say(const char* pattern, Values... values) {
  std::cerr << translation::translatedStatus(platform::formatted(pattern, values...)).toStdString() << std::endl;
}

std::string shown(const std::string& text) { return platform::visibleField(text); }

std::string day(std::int64_t at) {
  return QDateTime::fromSecsSinceEpoch(at, Qt::UTC).toString(Qt::ISODate).toStdString();
}

const char* faultText(publish::PublishFault fault) {
  using publish::PublishFault;
  switch (fault) {
    case PublishFault::listNotRead: return texts::publishListNotRead;
    case PublishFault::listNotText: return texts::publishListNotText;
    case PublishFault::listTooLarge: return texts::publishListTooLarge;
    case PublishFault::keyNotRead: return texts::publishKeyNotRead;
    case PublishFault::notAKey: return texts::publishNotAKey;
    case PublishFault::passwordNeeded: return texts::publishPasswordNeeded;
    case PublishFault::wrongPassword: return texts::publishWrongPassword;
    case PublishFault::notWritten: return texts::publishNotWritten;
    case PublishFault::hashMissing:
    case PublishFault::none: break;
  }
  return nullptr;
}

int report(const publish::Published& published, const std::string& list) {
  for (const auto& unfound : published.unfound)
    say(texts::publishImageMissing, unfound.line, shown(unfound.url).c_str());
  if (published.fault == publish::PublishFault::hashMissing) {
    say(texts::publishHashMissing, published.line);
    return 1;
  }
  if (const char* text = faultText(published.fault)) {
    say(text, shown(published.path).c_str());
    return 1;
  }
  if (published.signedName != kListName)
    say(texts::publishOtherName, kListName.c_str(), shown(published.signedName).c_str());
  say(texts::publishSigned, published.filled, shown(list + ".minisig").c_str());
  if (published.expiresAt) say(texts::publishExpires, day(*published.expiresAt).c_str());
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("ringflash-publish"));
  QCoreApplication::setApplicationVersion(QStringLiteral(RINGFLASH_VERSION));
  const auto translator = translation::installTranslation();
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Fills in field 8 (SHA-256) and field 9 (size) of every entry of LIST whose image URL's path\n"
      "names a file under the server's document root, and signs LIST into LIST.minisig as\n"
      "`minisign -S` does; both are replaced only once everything was read and checked.\n"
      "Exit codes: 0 signed, 1 nothing written (the reason is said), 2 usage.");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("LIST", "The firmware list (MIRAVEL_LST.txt), rewritten in place.");
  const QCommandLineOption root("root", "The firmware server's document root.", "DIR");
  const QCommandLineOption key("secret-key", "A minisign secret key (minisign -G), with or without a password.",
                               "FILE");
  const QCommandLineOption expires("expires-in", "The list is refused DAYS days from now (1 to 3650).", "DAYS");
  const QCommandLineOption passwordFile("password-file", "Read the key's password from FILE's first line.", "FILE");
  parser.addOptions({root, key, expires, passwordFile});
  parser.process(app);

  const QStringList lists = parser.positionalArguments();
  bool daysOk = true;
  const int days = parser.isSet(expires) ? parser.value(expires).toInt(&daysOk) : 1;
  if (lists.size() != 1 || !parser.isSet(root) || !parser.isSet(key) || !daysOk || days < 1 || days > kMostDays) {
    std::cerr << "usage: ringflash-publish LIST --root DIR --secret-key FILE [--expires-in DAYS] "
                 "[--password-file FILE]\n(ringflash-publish --help says more)"
              << std::endl;
    return 2;
  }
  publish::PublishRequest request;
  request.list = lists.first().toStdString();
  request.root = parser.value(root).toStdString();
  request.secretKey = parser.value(key).toStdString();
  if (parser.isSet(expires)) request.expiresInDays = days;
  request.now = std::time(nullptr);
  const std::string file = parser.value(passwordFile).toStdString();
  const std::string prompt = translation::translatedStatus(texts::publishPasswordPrompt).toStdString();
  request.password = [&]() { return file.empty() ? publish::askPassword(prompt) : publish::passwordFromFile(file); };
  return report(publish::publishList(request), request.list);
}
