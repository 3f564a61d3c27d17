// Splitting of letter-to-sound rule lines shared by both voices.
#include <gtest/gtest.h>

#include "engines/rule_line.h"

using namespace varlo;

namespace {

RuleLineParts split(std::string_view line) {
  RuleLineParts parts;
  EXPECT_TRUE(splitRuleLine(line, parts)) << line;
  return parts;
}

TEST(RuleLine, PartsAndTheirBlanks) {
  RuleLineParts p = split(" #A (CH) E = x  | comentário (com) = sinais");
  EXPECT_EQ(p.left, "#A");
  EXPECT_EQ(p.match, "CH");
  EXPECT_EQ(p.right, "E");
  EXPECT_EQ(p.output, " x  ");
  EXPECT_TRUE(p.commented);

  p = split("(A)= a \t");
  EXPECT_EQ(p.left, "");
  EXPECT_EQ(p.right, "");
  EXPECT_EQ(p.output, " a \t");
  EXPECT_FALSE(p.commented);
}

TEST(RuleLine, ContextSymbolsAreNotTakenForSeparators) {
  // A '|' or '=' before the match belongs to the left context; the first
  // ')' after the '(' closes the match.
  RuleLineParts p = split("|(R)=R");
  EXPECT_EQ(p.left, "|");
  EXPECT_EQ(p.output, "R");
  EXPECT_FALSE(p.commented);
  p = split("=(A)()=b|");
  EXPECT_EQ(p.left, "=");
  EXPECT_EQ(p.match, "A");
  EXPECT_EQ(p.right, "()");
  EXPECT_EQ(p.output, "b");
  EXPECT_TRUE(p.commented);
}

TEST(RuleLine, ContextsAndMatchKeepFiveCharacters) {
  RuleLineParts p = split("ABCDEFG(HIJKLMN)OPQRSTU=");
  EXPECT_EQ(p.left, "ABCDE");
  EXPECT_EQ(p.match, "HIJKL");
  EXPECT_EQ(p.right, "OPQRS");
  EXPECT_EQ(p.output, "");
}

TEST(RuleLine, MalformedLinesAreRefused) {
  RuleLineParts p;
  for (std::string_view bad : {"", "A=b", "(A=b", "()=b", "(A)b", "=(A)", "(A|b)"})
    EXPECT_FALSE(splitRuleLine(bad, p)) << bad;
}

}  // namespace
