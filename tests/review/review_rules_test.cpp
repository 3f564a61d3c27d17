// The review's reading rules on a screen written through the headless console.
#include "widgets/screen_review_rules.h"
#include "console/console_core.h"
#include "console/console_fixture.h"

namespace varlo {
namespace {

using ReviewRules = ConsoleTest;

void writeAt(int column, int row, const std::string& text) {
  moveCursor(column, row);
  writeText(text);
}

TEST_F(ReviewRules, WordsStopAtAccentsAndSeparatorsAndRunsAreCutToThree) {
  writeAt(1, 3, "Nome:  Jo\xE3o   ------- x");
  ReviewWord w = reviewWordAt(1, 3, kColumns);
  EXPECT_EQ(w.text, "Nome");
  w = reviewWordAt(w.next, 3, kColumns);
  EXPECT_EQ(w.text, ":");   // a reading of its own
  w = reviewWordAt(w.next, 3, kColumns);
  EXPECT_EQ(w.text, "Jo");   // up to the accented letter
  w = reviewWordAt(w.next, 3, kColumns);
  EXPECT_EQ(w.text, "\xE3");
  w = reviewWordAt(w.next, 3, kColumns);
  EXPECT_EQ(w.text, "o");
  w = reviewWordAt(w.next, 3, kColumns);
  EXPECT_EQ(w.text, "---");
  EXPECT_EQ(w.next, 22);   // past all seven dashes
  EXPECT_EQ(reviewWordAt(w.next, 3, 22).text, "");   // the limit comes first
}

TEST_F(ReviewRules, TheLastColumnIsReadAndTheLineEndFollowsIt) {
  writeAt(80, 2, "Z");
  ReviewWord w = reviewWordAt(1, 2, kColumns);
  EXPECT_EQ(w.text, "Z");
  EXPECT_EQ(w.next, kLineEndColumn);
  EXPECT_EQ(lineEnd(2), kLineEndColumn);
  EXPECT_EQ(lineEnd(4), 1);   // an empty row
}

TEST_F(ReviewRules, ConsonantRunsAreSpelled) {
  EXPECT_FALSE(isSpelled("MP3"));
  EXPECT_TRUE(isSpelled("CPF"));
  EXPECT_TRUE(isSpelled("wWw"));
  EXPECT_FALSE(isSpelled("B"));
  EXPECT_FALSE(isSpelled("Bom"));
}

TEST_F(ReviewRules, FieldsEndAtSeparatorsAndColourChanges) {
  writeAt(1, 5, "Nome: Ana|Rua ");
  setAttribute(0x1E);
  writeText("Azul");
  setAttribute(0x07);
  writeText("\xB3" "fim");   // a box-drawing bar
  ColumnSpan name = fieldAround(8, 5);
  EXPECT_EQ(name.first, 6);
  EXPECT_EQ(name.last, 9);
  ColumnSpan street = fieldAround(11, 5);
  EXPECT_EQ(street.first, 11);
  EXPECT_EQ(street.last, 14);   // the coloured word is another field
  EXPECT_EQ(fieldAround(16, 5).first, 15);
  EXPECT_EQ(fieldAround(16, 5).last, 18);
  EXPECT_EQ(fieldAround(10, 5).first, 10);   // a separator stands alone
  EXPECT_EQ(fieldAround(10, 5).last, 10);
}

TEST_F(ReviewRules, SearchSkipsTheCursorsOwnColumnsAndKeepsCase) {
  writeAt(1, 2, "casa Casa");
  writeAt(3, 7, "casa");
  EXPECT_EQ(findOnScreen("casa", 1, 2)->row, 7);   // column 1 itself is skipped
  std::optional<ScreenCell> found = findOnScreen("casa", 0, 2);
  EXPECT_EQ(found->column, 1);
  EXPECT_EQ(findOnScreen("Casa", 1, 2)->column, 6);
  EXPECT_FALSE(findOnScreen("casa", 3, 7));
  EXPECT_FALSE(findOnScreen(std::string(81, 'x'), 1, 1));
  EXPECT_FALSE(findOnScreen("", 1, 1));
}

TEST_F(ReviewRules, LettersFirstAndLastOnTheScreen) {
  EXPECT_FALSE(firstLetter());
  writeAt(10, 4, "12 ab");
  writeAt(1, 20, "x 9");
  EXPECT_EQ(firstLetter()->column, 13);
  EXPECT_EQ(firstLetter()->row, 4);
  EXPECT_EQ(lastLetter()->column, 1);
  EXPECT_EQ(lastLetter()->row, 20);
}

TEST_F(ReviewRules, ScreenCopyHoldsTwentyFiveRowsOfEighty) {
  writeAt(1, 1, "primeira");
  writeAt(80, 25, "#");
  std::string copy = screenCopy();
  ASSERT_EQ(copy.size(), 25u * 82);
  for (int row = 0; row < 25; ++row) EXPECT_EQ(copy.substr(row * 82 + 80, 2), "\r\n");
  EXPECT_EQ(copy.substr(0, 8), "primeira");
  EXPECT_EQ(copy[24 * 82 + 79], '#');
}

TEST_F(ReviewRules, ReadingCommandsCoverTheirRanges) {
  writeAt(1, 6, "Nome: Ana Maria");
  auto range = [](char a, char b) { return commandRange(a, b, 9, 6); };
  EXPECT_FALSE(range('X', 'L'));
  EXPECT_FALSE(range('T', 'X'));
  EXPECT_FALSE(range('1', 'L'));
  ReadingRange il = *range('i', 'l');
  EXPECT_EQ(il.firstColumn, 1);
  EXPECT_EQ(il.lastColumn, 8);
  EXPECT_TRUE(il.restore);
  ReadingRange lc = *range('L', 'c');   // L first means the whole unit
  EXPECT_EQ(lc.firstColumn, 6);
  EXPECT_EQ(lc.lastColumn, 80);   // the blanks after it share its colour
  ReadingRange ic = *range('I', 'C');
  EXPECT_EQ(ic.firstColumn, 6);
  EXPECT_EQ(ic.lastColumn, 9);
  ReadingRange ft = *range('F', 'T');
  EXPECT_EQ(ft.firstRow, 6);
  EXPECT_EQ(ft.firstColumn, 9);
  EXPECT_EQ(ft.lastRow, 25);
  EXPECT_FALSE(ft.restore);   // whole-screen readings leave the cursor where they ended
  ReadingRange it = *range('I', 'T');
  EXPECT_EQ(it.lastRow, 6);
  EXPECT_EQ(it.lastColumn, 8);
}

TEST_F(ReviewRules, CellsOutsideTheGridAreBlank) {
  writeAt(1, 1, "a");
  EXPECT_EQ(reviewChar(0, 1), ' ');
  EXPECT_EQ(reviewChar(81, 1), ' ');
  EXPECT_EQ(reviewAttribute(1, 26), 0);
  EXPECT_EQ(reviewChar(1, 1), 'a');
}

}  // namespace
}  // namespace varlo
