// The texts in the user's language: every status text has its English, the
// formatted ones keep their values, and under Chinese or C nothing changes.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <memory>
#include <string>

#include "translation/Language.h"
#include "translation/StatusTextList.h"
#include "translation/StatusTranslation.h"

namespace {

std::unique_ptr<QTranslator> english() { return translation::installTranslation(QLocale(QStringLiteral("en_US"))); }

int conversions(const QString& text) {
  static const QRegularExpression re(QStringLiteral("%[-+ #0]*\\d*[diuxXs]"));
  return static_cast<int>(text.count(re));
}

// A text added to one of the texts' headers without its English fails here:
// `cmake --build build --target update_translations` puts it in the .ts.
TEST(Translation, EveryStatusTextHasEnglishWithItsValues) {
  const auto translator = english();
  ASSERT_TRUE(translator);
  ASSERT_GT(translation::statusTexts().size(), 30u);
  static const QRegularExpression chinese(QStringLiteral("[\\x{3000}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
  for (const char* source : translation::statusTexts()) {
    const QString en = translator->translate("StatusText", source);
    EXPECT_FALSE(en.isEmpty()) << "no English for " << source;
    EXPECT_FALSE(en.contains(chinese)) << source << " -> " << en.toStdString();
    const int n = conversions(QString::fromUtf8(source));
    for (int i = 1; i <= n; ++i) EXPECT_TRUE(en.contains(QStringLiteral("%%1").arg(i))) << source << " lacks %" << i;
    EXPECT_FALSE(en.contains(QStringLiteral("%%1").arg(n + 1))) << source;
  }
}

// Every text of the window (its tr() texts and the .ui's) once refreshed into
// the .ts files: none may stay without its translation.
TEST(Translation, NoTsFileHasAnUnfinishedMessage) {
  const QStringList files = QDir(QStringLiteral(RINGFLASH_TS_DIR)).entryList({QStringLiteral("*.ts")});
  ASSERT_FALSE(files.isEmpty());
  for (const QString& name : files) {
    QFile ts(QStringLiteral(RINGFLASH_TS_DIR "/") + name);
    ASSERT_TRUE(ts.open(QIODevice::ReadOnly));
    EXPECT_FALSE(ts.readAll().contains("type=\"unfinished\"")) << name.toStdString();
  }
}

TEST(Translation, ChineseAndCLocalesShowTheTextsAsWritten) {
  for (const char* name : {"C", "zh_CN", "zh_TW", "zh_HK"})
    EXPECT_TRUE(translation::showsSourceTexts(QLocale(QString::fromLatin1(name)))) << name;
  for (const char* name : {"en_US", "en_GB", "de_DE", "ja_JP"})
    EXPECT_FALSE(translation::showsSourceTexts(QLocale(QString::fromLatin1(name)))) << name;
  EXPECT_FALSE(translation::installTranslation(QLocale(QStringLiteral("zh_CN"))));
  EXPECT_FALSE(translation::installTranslation(QLocale::c()));
  // Nothing installed: every text, formatted or not, byte for byte.
  for (const std::string text : {"\r\n当前的接环版本：VER 1.2.3", "\r\n镜头ID->0XAB12", "读取固件列表成功",
                                 "\r\n发现接环 /dev/hidraw3，但没有权限打开：请安装 udev 规则后重新插入接环"})
    EXPECT_EQ(translation::translatedStatus(text).toStdString(), text);
}

TEST(Translation, FormattedTextsAreRecognisedAndKeepTheirValues) {
  const auto translator = english();
  ASSERT_TRUE(translator);
  using translation::translatedStatus;
  EXPECT_EQ(translatedStatus("\r\n当前的接环版本：VER 1.20.255").toStdString(),
            "\r\nCurrent adapter version: VER 1.20.255");
  EXPECT_EQ(translatedStatus("\r\n镜头ID->0XAB12").toStdString(), "\r\nLens ID->0XAB12");
  // A node name is carried over as it is, "%1" and all.
  EXPECT_EQ(
      translatedStatus("\r\n发现接环 /dev/hid%1raw，但没有权限打开：请安装 udev 规则后重新插入接环").toStdString(),
      "\r\nFound adapter /dev/hid%1raw, but may not open it: install the udev rule, then plug the adapter in again");
  EXPECT_EQ(translatedStatus("读取固件列表成功").toStdString(), "Firmware list read");
  EXPECT_EQ(translatedStatus("\r\n固件更新已完成").toStdString(), "\r\nFirmware update complete");
  // A description, or any text that is not one of the tool's, as it is.
  for (const std::string text : {" 固件更新已完成", " 镜头ID->0XAB12", "\r\n镜头ID->0X", "ringflash"})
    EXPECT_EQ(translatedStatus(text).toStdString(), text);
}

}  // namespace
