// Headings, page breaks and ordinary lines found in plain texts as a book
// would be read: what is taken for a heading and what must not be.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "production/text_structure.h"

namespace varlo {
namespace {

// Each line handed out, as "H<rank>:text", "P" (page break) or the text.
std::vector<std::string> structureOf(const std::vector<std::string>& lines) {
  size_t next = 0;
  TextStructure text;
  openTextStructure(text, [&](std::string& line) {
    if (next == lines.size()) return false;
    line = lines[next++];
    return true;
  });
  std::vector<std::string> out;
  for (StructuredLine line; nextStructuredLine(text, line);) {
    if (line.role == LineRole::pageBreak)
      out.push_back("P");
    else if (line.role == LineRole::heading)
      out.push_back("H" + std::to_string(line.rank) + ":" + line.text);
    else
      out.push_back(line.text);
  }
  return out;
}

int rankOf(const std::string& line, bool alone = false) {
  std::string text;
  return headingRank(line, alone, text);
}

TEST(TextStructureHeadings, NumberedAndMarkdownHeadingsInAnyCaseAndSpelling) {
  EXPECT_EQ(rankOf("CAP\xCDTULO 3"), 2);
  EXPECT_EQ(rankOf("Cap\xEDtulo III"), 2);
  EXPECT_EQ(rankOf("  CAPITULO 12  "), 2);
  EXPECT_EQ(rankOf("Cap\xEDtulo 4 - A volta"), 2);
  EXPECT_EQ(rankOf("PARTE 2"), 1);
  EXPECT_EQ(rankOf("Parte II: O mar"), 1);
  EXPECT_EQ(rankOf("# T\xEDtulo"), 1);
  EXPECT_EQ(rankOf("### Se\xE7\xE3o"), 3);
  std::string text;
  EXPECT_EQ(headingRank("##   Dois  ", false, text), 2);
  EXPECT_EQ(text, "Dois");
}

TEST(TextStructureHeadings, SentencesMarkersAndNumbersAreNotHeadings) {
  EXPECT_EQ(rankOf("Cap\xEDtulo 3 era o melhor do livro, disse ele."), 0);
  EXPECT_EQ(rankOf("Parte do livro se perdeu."), 0);
  EXPECT_EQ(rankOf("Cap\xEDtulo"), 0);
  EXPECT_EQ(rankOf("#SOM#EFEITO.WAV", true), 0);
  EXPECT_EQ(rankOf("#SAPI#5,1,0,0", true), 0);
  EXPECT_EQ(rankOf("#sem espa\xE7o"), 0);
  EXPECT_EQ(rankOf("####### Sete"), 0);
  EXPECT_EQ(rankOf("#   "), 0);
  EXPECT_EQ(rankOf("12", true), 0);
  EXPECT_EQ(rankOf("", true), 0);
}

// A short line in capitals is a heading only with blank lines (or the ends
// of the text, or a page break) on both sides.
TEST(TextStructureHeadings, CapitalsLineAloneBetweenBlankLines) {
  EXPECT_EQ(structureOf({"O COME\xC7O", "", "Era uma vez.", "", "FIM"}),
            (std::vector<std::string>{"H2:O COME\xC7O", "", "Era uma vez.", "", "H2:FIM"}));
  EXPECT_EQ(structureOf({"Texto antes.", "AVISO", "", "Texto depois."}),
            (std::vector<std::string>{"Texto antes.", "AVISO", "", "Texto depois."}));
  EXPECT_EQ(structureOf({"", "AVISO", "texto colado."}),
            (std::vector<std::string>{"", "AVISO", "texto colado."}));
  EXPECT_EQ(structureOf({"\f", "  UM T\xCDTULO  ", "\f"}),
            (std::vector<std::string>{"P", "H2:UM T\xCDTULO", "P"}));
  EXPECT_EQ(structureOf({"", "Pouca Coisa", ""}), (std::vector<std::string>{"", "Pouca Coisa", ""}));
  std::string longCapitals(61, 'A');
  EXPECT_EQ(structureOf({longCapitals}), (std::vector<std::string>{longCapitals}));
}

TEST(TextStructurePages, FormFeedsBecomePageBreaksWhereverTheyStand) {
  EXPECT_EQ(structureOf({"fim da p\xE1gina\fin\xED" "cio da outra", "\f\f", "x\f"}),
            (std::vector<std::string>{"fim da p\xE1gina", "P", "in\xED" "cio da outra", "P", "P", "x",
                                      "P"}));
  EXPECT_EQ(structureOf({}), (std::vector<std::string>{}));
  EXPECT_EQ(structureOf({""}), (std::vector<std::string>{""}));
}

// A huge Markdown heading keeps its text; a huge line in capitals stays text.
TEST(TextStructureHeadings, LinesOfTenThousandCharacters) {
  std::string title(10000, 'x');
  std::vector<std::string> markdown = structureOf({"# " + title});
  ASSERT_EQ(markdown.size(), 1u);
  EXPECT_EQ(markdown[0], "H1:" + title);
  std::string capitals(10000, 'X');
  EXPECT_EQ(structureOf({"", capitals, ""}), (std::vector<std::string>{"", capitals, ""}));
}

}  // namespace
}  // namespace varlo
