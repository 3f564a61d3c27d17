#include "base/codepage.h"

#include <gtest/gtest.h>

using namespace varlo;

TEST(Codepage, RoundTripsEveryDefinedByte) {
  std::string all;
  for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(all)), all);
}

TEST(Codepage, ConvertsPortugueseAndPunctuation) {
  EXPECT_EQ(cp1252ToUtf8("Op\xE7\xE3o"), "Opção");
  EXPECT_EQ(utf8ToCp1252("diretório – “x” €"), "diret\xF3rio \x96 \x93x\x94 \x80");
  EXPECT_EQ(utf8ToCp1252("日本"), "??");
}

TEST(Codepage, RecognisesUtf8Files) {
  EXPECT_TRUE(looksLikeUtf8("ação"));
  EXPECT_FALSE(looksLikeUtf8("a\xE7\xE3o"));   // Windows-1252 bytes
  EXPECT_FALSE(looksLikeUtf8("plain ascii"));
  EXPECT_EQ(textFromFile("\xEF\xBB\xBFol\xC3\xA1"), "ol\xE1");
  EXPECT_EQ(textFromFile("ol\xE1"), "ol\xE1");
  // A truncated sequence at the end is not UTF-8.
  EXPECT_FALSE(looksLikeUtf8("a\xC3"));
}
