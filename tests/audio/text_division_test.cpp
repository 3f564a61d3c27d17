// Cutting texts into parts and laying the parts out.
#include "production/text_division.h"

#include <gtest/gtest.h>

namespace varlo {
namespace {

std::vector<std::string> numbered(int count) {
  std::vector<std::string> lines;
  for (int i = 1; i <= count; ++i) lines.push_back("linha " + std::to_string(i));
  return lines;
}

TEST(SplitText, ByLinesKeepsOrderAndPutsTheRestInTheLastPart) {
  DivisionRule rule;
  rule.linesPerPart = 100;
  auto parts = splitText(numbered(250), rule);
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(parts[0].size(), 100u);
  EXPECT_EQ(parts[1].size(), 100u);
  EXPECT_EQ(parts[2].size(), 50u);
  EXPECT_EQ(parts[1].front(), "linha 101");
  EXPECT_EQ(parts[2].back(), "linha 250");
  // An exact multiple gives no empty last part; an empty text gives none.
  EXPECT_EQ(splitText(numbered(200), rule).size(), 2u);
  EXPECT_TRUE(splitText({}, rule).empty());
}

TEST(SplitText, ByMarkDropsTheMarkLineWhateverBlanksSurroundIt) {
  DivisionRule rule;
  rule.byMark = true;
  rule.mark = " *** ";
  std::vector<std::string> lines = {"um", "***", "dois", "  ***\t", "tres", "*** fim", "***"};
  auto parts = splitText(lines, rule);
  ASSERT_EQ(parts.size(), 3u);  // the final mark opens no empty part
  EXPECT_EQ(parts[0], (std::vector<std::string>{"um"}));
  EXPECT_EQ(parts[1], (std::vector<std::string>{"dois"}));
  EXPECT_EQ(parts[2], (std::vector<std::string>{"tres", "*** fim"}));
}

TEST(SplitText, ByMarkWithTheMarkFirstGivesAnEmptyFirstPartAndNoMarkGivesOnePart) {
  DivisionRule rule;
  rule.byMark = true;
  rule.mark = "@";
  auto parts = splitText({"@", "texto"}, rule);
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_TRUE(parts[0].empty());
  EXPECT_EQ(splitText(numbered(5), rule).size(), 1u);
}

TEST(PartLines, HeaderEffectAndVoiceMarkersSurroundTheBody) {
  PartLayout layout;
  layout.title = "LIVRO";
  auto plain = partLines(layout, 7, {"texto"});
  EXPECT_EQ(plain, (std::vector<std::string>{"LIVRO 7", "", "texto", "", "Final da parte 7"}));

  layout.writeHeader = false;
  layout.withEffect = true;
  layout.alternateVoices = true;
  layout.voice = {5, 2, -3, 0};
  auto full = partLines(layout, 12, {"a", "b"});
  EXPECT_EQ(full, (std::vector<std::string>{"#SOM#", "", "#SAPI#5,2,-3,0", "", "a", "b", "",
                                            "#SOM#", "", "Final da parte 12"}));
}

TEST(PartNames, PrefixIsTheTrimmedFirstFiveCharacters) {
  EXPECT_EQ(partFileName(partPrefix("LIVRO.TXT"), 1), "LIVRO_001.PAR");
  EXPECT_EQ(partFileName(partPrefix("O mar.txt"), 42), "O mar_042.PAR");
  EXPECT_EQ(partFileName(partPrefix(" ab.txt"), 999), "ab_999.PAR");
  EXPECT_EQ(divisionTitle("LIVRO.TXT"), "LIVRO");
  EXPECT_EQ(divisionTitle("capitulo"), "capitulo");  // no extension: nothing cut
  EXPECT_EQ(divisionTitle("notas.texto"), "notas");
}

}  // namespace
}  // namespace varlo
