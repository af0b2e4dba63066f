#include "Language.h"

#include <QCoreApplication>

namespace translation {
namespace {
// The .qm files are built into the program, under this folder of its resources.
const QString kFolder = QStringLiteral(":/i18n");
}

bool showsSourceTexts(const QLocale& locale) {
  const QStringList languages = locale.uiLanguages();
  const QString first = languages.isEmpty() ? QStringLiteral("C") : languages.first();
  return first == u"C" || first == u"POSIX" || first == u"zh" || first.startsWith(u"zh-") || first.startsWith(u"zh_");
}

std::unique_ptr<QTranslator> installTranslation(const QLocale& locale) {
  if (showsSourceTexts(locale)) return nullptr;
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(locale, QStringLiteral("ringflash"), QStringLiteral("_"), kFolder) &&
      !translator->load(QStringLiteral("ringflash_en"), kFolder))
    return nullptr;
  QCoreApplication::installTranslator(translator.get());
  return translator;
}

}  // namespace translation
