// Lines and blanks of plain text, shared by the voice, conversion, division
// and the script loader.
#include <gtest/gtest.h>

#include "base/plain_text.h"

namespace varlo {
namespace {

using Lines = std::vector<std::string_view>;

TEST(PlainText, LinesEndAtLineFeedsAndLoseTheCarriageReturnBeforeThem) {
  EXPECT_EQ(splitLines(""), Lines{});
  EXPECT_EQ(splitLines("\n"), Lines{""});
  EXPECT_EQ(splitLines("a\r\nb\n\nc"), (Lines{"a", "b", "", "c"}));
  EXPECT_EQ(splitLines("a\rb\r\n"), Lines{"a\rb"});  // a lone CR is text
  EXPECT_EQ(splitLines("fim\r"), Lines{"fim"});
}

TEST(PlainText, BlanksAreControlCharactersTooButSpacesAreOnlySpaces) {
  EXPECT_EQ(trimBlanks("\t  ação \r\x01"), "ação");
  EXPECT_EQ(trimBlanks(" \t\n "), "");
  EXPECT_EQ(trimSpaces(" \tnome\t  "), "\tnome\t");
  EXPECT_EQ(trimSpaces("   "), "");
}

}  // namespace
}  // namespace varlo
