#include <gtest/gtest.h>

#include "base/html_text.h"

using namespace varlo;

TEST(HtmlTextReading, HeadingsParagraphsAndDefinitionsBecomeLinesToJumpBetween) {
  HtmlText t = htmlToText(
      "<html><head><title>Fora</title></head><body><h1>Manual</h1>\n"
      "<p>Um  texto\n com <em>ênfase</em> &amp; &quot;aspas&quot; &#233; &#xE7;.</p>"
      "<h2>1. Teclas</h2><dl><dt>F1</dt><dd>Diz as opções.</dd></dl></body></html>",
      79);
  std::vector<std::string> expected = {"Manual", "Um texto com ênfase & \"aspas\" é ç.", "",
                                       "1. Teclas", "F1", "  Diz as opções."};
  EXPECT_EQ(t.lines, expected);
  EXPECT_EQ(t.headings, (std::vector<int>{0, 3}));
}

TEST(HtmlTextReading, LongParagraphsWrapAtTheWidthInCharactersNotBytes) {
  HtmlText t = htmlToText("<p>ação ação ação ação</p><dd>um dois três</dd><p>a &bogus; b</p>", 9);
  std::vector<std::string> expected = {"ação ação", "ação ação", "  um dois", "  três", "a &bogus;", "b"};
  EXPECT_EQ(t.lines, expected);
  EXPECT_TRUE(t.headings.empty());
}
