// Re-wrapping, marker fields, phrase requests and file names of conversion.
#include "production/conversion_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "base/codepage.h"

namespace varlo {
namespace {

TEST(Rewrap, CutsAtTheLastSpaceOfTheWindowAndJoinsParagraphLines) {
  std::string word9 = "palavra12";  // 9 characters
  std::string longLine;
  for (int i = 0; i < 12; ++i) longLine += (i ? " " : "") + word9;  // 119 characters
  auto out = rewrapLines({longLine, "segue", "", "  novo paragrafo", "fim"});
  ASSERT_GE(out.size(), 4u);
  for (const auto& line : out) EXPECT_LE(line.size(), 79u) << line;
  // Eight words end at column 79 but the space after them is at column 80,
  // outside the window: the cut falls after the seventh word.
  EXPECT_EQ(out[0].size(), 69u);
  EXPECT_EQ(out[1], "palavra12 palavra12 palavra12 palavra12 palavra12 segue");
  EXPECT_EQ(out[2], "");
  EXPECT_EQ(out[3], "  novo paragrafo fim");
  EXPECT_EQ(out.size(), 4u);
}

TEST(Rewrap, LineWithoutSpacesIsCutEvery79Characters) {
  std::string huge(100000, 'a');
  auto out = rewrapLines({huge});
  ASSERT_EQ(out.size(), 100000u / 79 + 1);
  EXPECT_EQ(out.front().size(), 79u);
  EXPECT_EQ(out.back().size(), 100000u % 79);
  size_t total = 0;
  for (const auto& l : out) total += l.size();
  EXPECT_EQ(total, 100000u);
}

TEST(Rewrap, SpaceBeforeColumn40IsNotUsedAndTabsExpandToEights) {
  std::string line = "ab " + std::string(100, 'x');
  auto out = rewrapLines({line});
  EXPECT_EQ(out[0], line.substr(0, 79));
}

class SpeechText : public ::testing::Test {
 protected:
  std::string path = ::testing::TempDir() + "varlo-speech-" + std::to_string(getpid()) + ".txt";
  void TearDown() override { std::remove(path.c_str()); }
  std::vector<std::string> spoken(const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    SpeechLines text;
    EXPECT_TRUE(openSpeechLines(text, path, looksLikeUtf8(bytes)));
    std::vector<std::string> lines;
    for (std::string line; nextSpeechLine(text, line);) lines.push_back(line);
    closeSpeechLines(text);
    return lines;
  }
};

// The text is read line by line as it is spoken: a single line too long
// anywhere re-wraps all of it, tabs expanded; a short text is left alone.
TEST_F(SpeechText, OneLineTooLongRewrapsTheWholeText) {
  std::vector<std::string> lines = spoken("\tx\nsegue\n\n" + std::string(81, 'y') + "\n");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0], "        x segue");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[2], std::string(79, 'y'));
  EXPECT_EQ(lines[3], "yy");
  EXPECT_EQ(spoken("\tcurta\r\nfim"), std::vector<std::string>({"\tcurta", "fim"}));
}

// UTF-8 (with or without a byte-order mark) becomes the program's code page
// line by line; a line's length is counted in it, not in UTF-8 bytes.
TEST_F(SpeechText, Utf8IsConvertedAndMeasuredAfterConversion) {
  std::string accented;
  for (int i = 0; i < 40; ++i) accented += "\xC3\xA7\xC3\xA3";   // 80 characters, 160 bytes
  std::vector<std::string> lines = spoken("\xEF\xBB\xBF" "a\xC3\xA7\xC3\xA3o\n" + accented + "\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "a\xE7\xE3o");
  EXPECT_EQ(lines[1].size(), 80u);
  EXPECT_EQ(spoken("a\xE7\xE3o\n"), std::vector<std::string>({"a\xE7\xE3o"}));
}

TEST(VoiceMarker, FieldsReadAsIntegersOrTheRestIsText) {
  VoiceMarker m;
  std::string rest;
  ASSERT_TRUE(parseVoiceFields("5,2,0,0", m, rest));
  EXPECT_EQ(m.type, 5);
  EXPECT_EQ(m.voice, 2);
  ASSERT_TRUE(parseVoiceFields("3,1,-4,12 ", m, rest));
  EXPECT_EQ(m.speed, -4);
  EXPECT_EQ(m.pitch, 12);
  EXPECT_FALSE(parseVoiceFields("x,2,0,0", m, rest));
  EXPECT_EQ(rest, "x,2,0,0");
  EXPECT_FALSE(parseVoiceFields("5,dois,0,0", m, rest));
  EXPECT_EQ(rest, "dois,0,0");
  EXPECT_FALSE(parseVoiceFields("5,2,0", m, rest));  // pitch missing: "0" has no comma after it
  EXPECT_EQ(rest, "0");
  EXPECT_FALSE(parseVoiceFields("", m, rest));
  EXPECT_EQ(rest, "");
  EXPECT_FALSE(parseVoiceFields("5,2,0,99999999999", m, rest));
}

TEST(Phrases, RequestsEndAtPunctuationFollowedBySpace) {
  std::string pending;
  std::vector<std::string> requests;
  gatherPhrases(pending, "Ol\xE1. Tudo bem", requests);
  EXPECT_EQ(requests, std::vector<std::string>{" Ol\xE1."});
  EXPECT_EQ(pending, " Tudo bem ");
  gatherPhrases(pending, "e voce? Sim", requests);
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1], " Tudo bem  e voce?");
  // A full stop inside a number is no boundary; the line's end is one.
  requests.clear();
  pending.clear();
  gatherPhrases(pending, "custa 3.50 reais.", requests);
  EXPECT_EQ(requests, std::vector<std::string>{" custa 3.50 reais."});
}

TEST(Phrases, LongTextWithoutPunctuationIsCutAtTheFirstSpaceAfter200) {
  std::string words;
  for (int i = 0; i < 100; ++i) words += "abcdefg ";
  std::string pending;
  std::vector<std::string> requests;
  gatherPhrases(pending, words.substr(0, words.size() - 1), requests);
  ASSERT_GE(requests.size(), 3u);
  for (const auto& r : requests) {
    EXPECT_GT(r.size(), 200u);
    EXPECT_LE(r.size(), 209u);
    EXPECT_EQ(r.back(), ' ');
  }
}

TEST(AudioNames, SpacesBecomeUnderscoresExceptInTheFinalMp3) {
  AudioNames n = audioNames("meu livro.txt");
  EXPECT_EQ(n.baseName, "meu livro");
  EXPECT_EQ(n.wavName, "meu_livro.wav");
  EXPECT_EQ(n.mp3Name, "meu_livro.mp3");
  EXPECT_EQ(n.finalMp3Name, "meu livro.mp3");
  EXPECT_EQ(audioNames("/projeto/dir/LIVRO_001.PAR").wavName, "LIVRO_001.wav");
}

}  // namespace
}  // namespace varlo
