// Telling a text from other data before it is converted or divided.
#include "production/text_lines.h"

#include <gtest/gtest.h>

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
