// What a server or a device sends reaches a terminal only with its control
// characters written out.
#include <gtest/gtest.h>

#include "cli/TimeLeft.h"
#include "platform/VisibleText.h"

using platform::visibleField;
using platform::visibleLines;

TEST(VisibleText, EscapeSequencesAndColumnBreaksAreWrittenOut) {
  EXPECT_EQ(visibleField("\x1b[2Jgone"), "\\x1b[2Jgone");
  EXPECT_EQ(visibleField("a\tb\nc\rd\x7f"), "a\\x09b\\x0ac\\x0dd\\x7f");
  // OSC 8 hyperlink and title, ended by BEL or by the C1 string terminator.
  EXPECT_EQ(visibleField("\x1b]0;title\x07"), "\\x1b]0;title\\x07");
  EXPECT_EQ(visibleField("\xc2\x9b"
                         "2J\xc2\x9c"),
            "\\x9b2J\\x9c");  // C1 CSI and ST, as UTF-8
  EXPECT_EQ(visibleField("\x9b"
                         "2J"),
            "\\x9b2J");                                             // the same byte, not UTF-8
  EXPECT_EQ(visibleField("\xe5\xa5\xbd\xc0\xaf"), "好\\xc0\\xaf");  // an overlong '/'
  EXPECT_EQ(visibleField("EF-RF 转接环 Ver 1.0"), "EF-RF 转接环 Ver 1.0");
}

TEST(VisibleText, ADescriptionKeepsItsLinesAndTabs) {
  EXPECT_EQ(visibleLines("one\r\ntwo\n\tthree\x1b[8m\r"), "one\ntwo\n\tthree\\x1b[8m\\x0d");
}

// A progress line's estimate, from the pace of the pieces sent so far.
TEST(TimeLeft, FromThePaceSoFar) {
  EXPECT_EQ(cli::timeLeftText(0, 0, 48), "");
  EXPECT_EQ(cli::timeLeftText(1.2, 10, 48), " about 5 s left");  // 38 pieces at 0.12 s
  EXPECT_EQ(cli::timeLeftText(60, 100, 1000), " about 9 min 0 s left");
  EXPECT_EQ(cli::timeLeftText(5, 48, 48), "");
}
