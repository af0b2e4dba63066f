#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QStringList>

#include <cstdint>
#include <thread>

#include "platform/Data.h"
#include "platform/Dictionary.h"
#include "platform/LongLines.h"
#include "platform/NotificationCenter.h"
#include "platform/Scanner.h"
#include "platform/TextDecoding.h"
#include "platform/hidraw/HidrawDevice.h"

using namespace platform;

TEST(Scanner, SkipsUnicodeWhitespaceAndSaturatesSignedValues) {
  std::int64_t v = 0;
  EXPECT_TRUE(scanInt("\xc2\xa0\xe3\x80\x80 42abc", v));
  EXPECT_EQ(v, 42);
  EXPECT_TRUE(scanInt("-99999999999999999999", v));
  EXPECT_EQ(v, INT64_MIN);
  EXPECT_TRUE(scanInt("9223372036854775807", v));
  EXPECT_EQ(v, INT64_MAX);
  v = 5;
  EXPECT_FALSE(scanInt("+", v));
  EXPECT_FALSE(scanInt("- 1", v));
  EXPECT_EQ(v, 5);
}

TEST(TextDecoding, StrictUtf8AndGb18030) {
  const Data chinese{0xE5, 0x9B, 0xBA, 0xE4, 0xBB, 0xB6};  // 固件
  EXPECT_TRUE(isUTF8(chinese));
  EXPECT_FALSE(isUTF8({0x66, 0xFF, 0x66}));
  EXPECT_FALSE(isUTF8({0xE5, 0x9B}));  // cut in the middle of a character
  // Outside RFC 3629, though glibc's iconv takes them: above U+10FFFF, 5-byte
  // forms, overlong forms and surrogates. U+10FFFF itself is fine.
  for (const Data& bad : {Data{0xF4, 0x90, 0x80, 0x80}, Data{0xF8, 0x88, 0x80, 0x80, 0x80}, Data{0xC0, 0xAF},
                          Data{0xE0, 0x80, 0xAF}, Data{0xED, 0xA0, 0x80}, Data{0xF0, 0x80, 0x80, 0xAF}})
    EXPECT_FALSE(isUTF8(bad)) << bad.size();
  EXPECT_TRUE(isUTF8({0xF4, 0x8F, 0xBF, 0xBF}));
  EXPECT_EQ(stringFromGB18030({0xB9, 0xCC, 0xBC, 0xFE}), "固件");
  EXPECT_EQ(stringFromGB18030({0x81, 0x30, 0x81, 0x30}), "\xc2\x80");  // a four-byte sequence
  EXPECT_FALSE(stringFromGB18030({0xB9}));
  EXPECT_FALSE(stringFromGB18030({0xFF, 0xFF}));
}

TEST(NotificationCenterTest, DeliversSynchronouslyToObserversOfThatNameOnly) {
  auto& center = NotificationCenter::defaultCenter();
  std::vector<std::string> got;
  std::thread::id where;
  auto a = center.addObserver("NoteA", [&](const Notification& n) {
    if (auto* v = lookup<int>(n.object, "value")) {
      where = std::this_thread::get_id();
      got.push_back("a" + std::to_string(*v));
    }
  });
  auto b = center.addObserver("NoteB", [&](const Notification&) { got.push_back("b"); });
  std::thread poster([&] { center.post("NoteA", Dictionary{{"value", 3}}); });
  const auto posterId = poster.get_id();
  poster.join();
  center.post("NoteA", std::string("not a dictionary"));
  center.removeObserver(b);
  center.post("NoteB");
  center.removeObserver(a);
  center.post("NoteA", Dictionary{{"value", 4}});
  EXPECT_EQ(got, (std::vector<std::string>{"a3"}));
  EXPECT_EQ(where, posterId);
}

TEST(NotificationCenterTest, RemovalWaitsForADeliveryUnderWay) {
  auto& center = NotificationCenter::defaultCenter();
  std::atomic<bool> inside{false}, finished{false};
  auto token = center.addObserver("Slow", [&](const Notification&) {
    inside = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    finished = true;
  });
  std::thread poster([&] { center.post("Slow"); });
  while (!inside) std::this_thread::yield();
  center.removeObserver(token);
  EXPECT_TRUE(finished);
  poster.join();
}

// A text view lays out a line whole: long lines are broken for showing, every
// character kept and no surrogate pair split.
TEST(LongLines, BrokenForShowingWithEveryCharacterKept) {
  const QString pair = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two UTF-16 units
  QString line;
  for (int i = 0; i < 50; ++i) line += QStringLiteral("abc") + pair;
  const QString text = QStringLiteral("short\n") + line + QStringLiteral("\nend");
  const QString shown = platform::breakLongLines(text, 7);
  QString rejoined = shown;
  rejoined.remove(QLatin1Char('\n'));
  EXPECT_EQ(rejoined, QString(text).remove(QLatin1Char('\n')));
  for (const QString& l : shown.split(QLatin1Char('\n'))) {
    EXPECT_LE(l.size(), 8) << l.toStdString();
    EXPECT_FALSE(!l.isEmpty() && l.front().isLowSurrogate()) << l.toStdString();
  }
  EXPECT_TRUE(shown.startsWith(QStringLiteral("short\nabc")));
  EXPECT_EQ(platform::breakLongLines(QStringLiteral("a\nbc"), 7), QStringLiteral("a\nbc"));
}

// A large buffer lies on whole 2 MiB blocks, and one given back is reused only
// for a buffer of its own size: a smaller block handed to a larger buffer would
// be written past its end.
TEST(LargeBuffers, LieOnWholeBlocksAndAreReusedOnlyAtTheirSize) {
  constexpr std::uintptr_t kBlock = 2u << 20;
  const std::uint8_t* first = nullptr;
  {
    Data image(3u << 20, 0x5A);
    first = image.data();
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(first) % kBlock, 0u);
  }
  {
    Data again(3u << 20, 0x11);
    EXPECT_EQ(again.data(), first);  // the same image read again finds its pages
    EXPECT_EQ(again.back(), 0x11);
  }
  Data larger(5u << 20, 0x22);
  EXPECT_NE(larger.data(), first);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(larger.data()) % kBlock, 0u);
  EXPECT_EQ(larger.back(), 0x22);
}

// The lock every ringflash process takes on a node before its first report:
// a second opening (another process) and a second exchange of this process
// are both refused until it is given back.
TEST(HidrawClaim, OneWriterPerNodeAcrossOpeningsAndExchanges) {
  char path[] = "/tmp/ringflash-claim-XXXXXX";
  const int made = ::mkstemp(path);
  ASSERT_GE(made, 0);
  ::close(made);
  HidrawDevice first(::open(path, O_RDWR | O_CLOEXEC), "", path, {});
  HidrawDevice second(::open(path, O_RDWR | O_CLOEXEC), "", path, {});
  ::unlink(path);
  EXPECT_TRUE(first.claim());
  EXPECT_FALSE(first.claim());   // a second exchange of this process
  EXPECT_FALSE(second.claim());  // another opening of the node
  first.release();
  EXPECT_TRUE(second.claim());
  EXPECT_FALSE(first.claim());
  second.release();
  EXPECT_TRUE(first.claim());
}
