// Reading phoneme lines and cutting written text into lines.
#include <gtest/gtest.h>

#include "engines/synth_parse.h"

using namespace varlo;

TEST(SynthLines, ReadsNameDurationAndPitchPoints) {
  PhoneLine l = parsePhoneLine("a 145 80 253");
  ASSERT_EQ(l.kind, LineKind::Phone);
  EXPECT_EQ(l.name, "a");
  EXPECT_DOUBLE_EQ(l.ms, 145);
  ASSERT_EQ(l.points.size(), 1u);
  EXPECT_FLOAT_EQ(l.points[0].percent, 80);
  EXPECT_FLOAT_EQ(l.points[0].hz, 253);

  l = parsePhoneLine("\tsh  62.5\t0 200 100 180 50 190\r");
  ASSERT_EQ(l.kind, LineKind::Phone);
  EXPECT_EQ(l.name, "sh");
  EXPECT_DOUBLE_EQ(l.ms, 62.5);
  ASSERT_EQ(l.points.size(), 3u);  // sorted by position
  EXPECT_FLOAT_EQ(l.points[1].percent, 50);
  EXPECT_FLOAT_EQ(l.points[2].hz, 180);
}

TEST(SynthLines, CommentsBlanksAndFlush) {
  EXPECT_EQ(parsePhoneLine("").kind, LineKind::Blank);
  EXPECT_EQ(parsePhoneLine("   \r").kind, LineKind::Blank);
  EXPECT_EQ(parsePhoneLine(";casa").kind, LineKind::Blank);
  EXPECT_EQ(parsePhoneLine("#").kind, LineKind::Flush);
  EXPECT_EQ(parsePhoneLine("  # \r").kind, LineKind::Flush);
  PhoneLine l = parsePhoneLine("k 80 ; the k of casa");
  EXPECT_EQ(l.kind, LineKind::Phone);
  EXPECT_TRUE(l.points.empty());
}

TEST(SynthLines, ClampsAbsurdValues) {
  EXPECT_DOUBLE_EQ(parsePhoneLine("a 0").ms, 0);
  EXPECT_DOUBLE_EQ(parsePhoneLine("a -40").ms, 0);
  EXPECT_DOUBLE_EQ(parsePhoneLine("a 100000").ms, kMaxPhoneMs);
  PhoneLine l = parsePhoneLine("a 100 50 20000 -10 100 150 1");
  ASSERT_EQ(l.points.size(), 3u);
  EXPECT_FLOAT_EQ(l.points[0].percent, 0);
  EXPECT_FLOAT_EQ(l.points[0].hz, 100);
  EXPECT_FLOAT_EQ(l.points[1].hz, kMaxPitchHz);
  EXPECT_FLOAT_EQ(l.points[2].percent, 100);
  EXPECT_FLOAT_EQ(l.points[2].hz, kMinPitchHz);
  // A pitch of zero or less says nothing: the point is dropped.
  EXPECT_TRUE(parsePhoneLine("a 100 50 0").points.empty());
  EXPECT_TRUE(parsePhoneLine("a 100 50 -3").points.empty());
  std::string many = "a 100";
  for (int i = 0; i < 50; ++i) many += " 50 200";
  EXPECT_EQ(parsePhoneLine(many).points.size(), kMaxPitchPoints);
}

TEST(SynthLines, RejectsWhatIsNotANumber) {
  for (const char* bad : {"a", "a abc", "a 10 50", "a 10 x 200", "a 10 50 2OO", "a nan", "a inf", "a 1e999",
                          "a 10,5", "\x80\xff\x01 \x02"}) {
    PhoneLine l = parsePhoneLine(bad);
    EXPECT_EQ(l.kind, LineKind::Bad) << bad;
    EXPECT_FALSE(l.why.empty()) << bad;
  }
}

TEST(SynthLines, CutsTextIntoLinesAcrossWrites) {
  LineBuffer buf;
  int overlong = 0;
  EXPECT_TRUE(takeLines(buf, "a 1", overlong).empty());
  auto lines = takeLines(buf, "00\r\nk 80\n\ne", overlong);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "a 100\r");
  EXPECT_EQ(lines[1], "k 80");
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(takeRest(buf), "e");
  EXPECT_EQ(takeRest(buf), "");
  EXPECT_EQ(overlong, 0);
}

TEST(SynthLines, DropsOverlongLinesWhole) {
  LineBuffer buf;
  int overlong = 0;
  std::string huge(kMaxLineBytes + 10, 'x');
  auto lines = takeLines(buf, "a 10\n" + huge.substr(0, 3000), overlong);
  lines = takeLines(buf, huge.substr(3000) + " 20\nb 30\n", overlong);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0], "b 30");
  EXPECT_EQ(overlong, 1);
  EXPECT_EQ(buf.partial.size(), 0u);
  EXPECT_FALSE(buf.overlong);
}
