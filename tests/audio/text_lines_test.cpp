// Telling a text from other data before it is converted or divided.
#include "production/text_lines.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>

#include "base/codepage.h"

using namespace varlo;

namespace {

std::string brazilianTexts() {
  std::ifstream in("/usr/share/games/fortunes/brasil", std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

}  // namespace

TEST(TextDetection, RealBooksPassInBothEncodingsAndRandomBytesDoNot) {
  std::string utf8 = brazilianTexts();
  ASSERT_GT(utf8.size(), 100000u);
  EXPECT_FALSE(looksBinary(utf8));
  EXPECT_FALSE(looksBinary(utf8ToCp1252(utf8)));
  EXPECT_FALSE(looksBinary(utf8.substr(1, 65536)));   // cut inside a UTF-8 sequence
  EXPECT_FALSE(looksBinary("Cap\xC3\xADtulo 1\r\n\tTexto.\f\n"));

  std::mt19937 random(7);
  std::string noise;
  while (noise.size() < 200000) {
    char c = static_cast<char>(random() & 0xFF);
    if (c != '\0') noise += c;
  }
  EXPECT_TRUE(looksBinary(noise));
  EXPECT_TRUE(looksBinary(std::string("\x7F" "ELF\0\0\x01\x02", 8)));
}

namespace {

class TextFileStreaming : public ::testing::Test {
 protected:
  std::string path = ::testing::TempDir() + "varlo-stream-" + std::to_string(getpid()) + ".txt";
  void TearDown() override { std::remove(path.c_str()); }
  void write(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  std::vector<std::string> readLines() {
    LineReader reader;
    EXPECT_TRUE(openLineReader(reader, path));
    std::vector<std::string> lines;
    for (std::string line; nextLine(reader, line);) lines.push_back(line);
    EXPECT_FALSE(reader.failed);
    closeLineReader(reader);
    return lines;
  }
};

// Lines read a block at a time are the lines of the whole text, whatever
// falls on a block's edge: a CR LF split across it, a long line, no line
// end at the end.
TEST_F(TextFileStreaming, LinesReadInBlocksAreTheLinesOfTheWholeText) {
  std::string text;
  for (int i = 0; text.size() < 300000; ++i)
    text += "linha " + std::to_string(i) + std::string(size_t(i % 97), 'x') + (i % 3 ? "\r\n" : "\n");
  text.insert(65535, "\r\n");   // a line end right across the first block's edge
  text += std::string(200000, 'y') + "\r\n\r\nfim sem quebra";
  write(text);
  std::vector<std::string_view> whole = splitLines(text);
  EXPECT_EQ(readLines(), std::vector<std::string>(whole.begin(), whole.end()));
  write("");
  EXPECT_TRUE(readLines().empty());
  write("\n\n");
  EXPECT_EQ(readLines(), std::vector<std::string>({"", ""}));
}

// The facts of the whole text come from one pass over it, as they would
// from the text held whole.
TEST_F(TextFileStreaming, FactsOfTheWholeTextMatchTheTextHeldWhole) {
  std::string ascii(65534, 'a');
  for (const std::string& text :
       {ascii + "\xC3\xA7" + "b",                 // a character across the first block's edge
        ascii + ascii + "\xE7" + "c",             // Windows-1252 long after the first block
        ascii + "\xC3\xA7" + ascii + "\xC3",      // UTF-8 cut short at the very end
        std::string(" \r\n\t\n"), std::string(100000, ' ') + "x", std::string("a\0b", 3)}) {
    write(text);
    TextFacts facts;
    ASSERT_TRUE(scanTextFile(path, facts));
    EXPECT_EQ(facts.utf8, looksLikeUtf8(text)) << text.size();
    EXPECT_EQ(facts.binary, looksBinary(text)) << text.size();
    EXPECT_EQ(facts.blank, text.find_first_not_of(" \t\r\n") == std::string::npos) << text.size();
  }
  TextFacts facts;
  EXPECT_FALSE(scanTextFile(path + ".nada", facts));
}

}  // namespace
