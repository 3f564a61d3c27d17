// Percent, Base64 and quoted-printable encodings: the rules that decide
// where a line breaks or a byte is escaped, and text that does not decode.
#include "base/text_codes.h"

#include <gtest/gtest.h>

#include <random>

namespace varlo {
namespace {

std::string allBytes() {
  std::string s;
  for (int b = 0; b < 256; ++b) s += char(b);
  return s;
}

TEST(PercentEncoding, OnlyUnreservedBytesStayAndBadEscapesArePassedThrough) {
  EXPECT_EQ(percentEncode("a b/c?d=e&f~g-h_i.j"), "a%20b%2Fc%3Fd%3De%26f~g-h_i.j");
  EXPECT_EQ(percentEncode("\xE7\xE3"), "%E7%E3");
  EXPECT_EQ(percentDecode("a%20b%2fc+d"), "a b/c+d");
  EXPECT_EQ(percentDecode("100%"), "100%");
  EXPECT_EQ(percentDecode("%4"), "%4");
  EXPECT_EQ(percentDecode("%zz%41"), "%zzA");
  EXPECT_EQ(percentDecode(percentEncode(allBytes())), allBytes());
}

TEST(Base64, PaddingLongTextAndLineBreaksInEncodedText) {
  EXPECT_EQ(base64Encode(""), "");
  EXPECT_EQ(base64Encode("a"), "YQ==");
  EXPECT_EQ(base64Encode("ab"), "YWI=");
  EXPECT_EQ(base64Encode("abc"), "YWJj");
  std::string big(3 * 1024 * 1024 + 7, '\xAB');   // more than one encoding slice
  std::string encoded = base64Encode(big);
  EXPECT_EQ(encoded.size(), 4 * ((big.size() + 2) / 3));
  EXPECT_EQ(encoded.find('\n'), std::string::npos);
  EXPECT_EQ(base64Decode(encoded), big);
  EXPECT_EQ(base64Decode("YWJj\nZGVm\r\nZw=="), "abcdefg");
  EXPECT_EQ(base64Decode(base64Encode(allBytes())), allBytes());
}

TEST(Base64, InvalidTextIsRefused) {
  EXPECT_FALSE(base64Decode("@@@@"));
  EXPECT_FALSE(base64Decode("YWJ"));     // a group cut short
  EXPECT_FALSE(base64Decode("YQ==YQ"));  // text after the padding
  EXPECT_EQ(base64Decode(""), "");
}

TEST(QuotedPrintable, EscapesAndBlanksAtLineEnds) {
  EXPECT_EQ(quotedPrintableEncode("a=b \xE7"), "a=3Db =E7");
  EXPECT_EQ(quotedPrintableEncode("fim \nx\t"), "fim=20\nx=09");
  EXPECT_EQ(quotedPrintableEncode("um\r\ndois"), "um\r\ndois");
  EXPECT_EQ(quotedPrintableEncode("a\rb"), "a=0Db");
  // Blanks a mail relay added at line ends are not part of the text.
  EXPECT_EQ(quotedPrintableDecode("fim=20  \nx \t"), "fim \nx");
  EXPECT_EQ(quotedPrintableDecode("a=e7=E3o"), "a\xE7\xE3o");
  EXPECT_EQ(quotedPrintableDecode("1 = 2 =z"), "1 = 2 =z");
  EXPECT_EQ(quotedPrintableDecode("a=\r\nb=  \nc"), "abc");
}

TEST(QuotedPrintable, LongLinesGetSoftBreaksWithinTheLimit) {
  std::string text(200, 'x');
  text[74] = '\xE9';   // an escape must not be split by a soft break
  std::string encoded = quotedPrintableEncode(text);
  size_t start = 0;
  int lines = 0;
  while (start < encoded.size()) {
    size_t end = encoded.find('\n', start);
    if (end == std::string::npos) end = encoded.size();
    EXPECT_LE(end - start, 76u);
    start = end + 1;
    ++lines;
  }
  EXPECT_GE(lines, 3);
  EXPECT_NE(encoded.find("=E9"), std::string::npos);
  EXPECT_EQ(quotedPrintableDecode(encoded), text);
}

TEST(QuotedPrintable, RandomBytesComeBack) {
  std::mt19937 random(14);
  for (int round = 0; round < 200; ++round) {
    std::string text(random() % 300, '\0');
    for (char& c : text) c = char(random() % 4 ? ' ' + random() % 95 : random() % 256);
    EXPECT_EQ(quotedPrintableDecode(quotedPrintableEncode(text)), text) << round;
  }
}

}  // namespace
}  // namespace varlo
