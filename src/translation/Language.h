#pragma once
#include <QLocale>
#include <QTranslator>
#include <memory>

namespace translation {
// The tool's texts are written in Chinese, and are shown as written under a
// Chinese locale and under C or POSIX (where no language was chosen); under
// any other language the tool speaks English unless a translation for that
// language exists.
bool showsSourceTexts(const QLocale& locale);

// Loads the translation for `locale` and installs it into the application;
// it stays installed while the returned translator lives. Null when the
// texts are shown as written.
std::unique_ptr<QTranslator> installTranslation(const QLocale& locale = QLocale::system());
}  // namespace translation
