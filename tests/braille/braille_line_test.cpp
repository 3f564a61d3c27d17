// The braille line: the row and cursor the console hands the display, the
// routing keys, Portuguese braille of accented letters, panning, and routing
// inside a field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/braille_line.h"
#include "console/console.h"
#include "console/console_core.h"
#include "frontends/braille_display.h"
#include "widgets/field_editor_state.h"

namespace varlo {
namespace {

struct Shown { std::string row; int cursor; };
std::vector<Shown> shown;
void recordShow(std::string_view row, int cursor) { shown.push_back({std::string(row), cursor}); }
void noPoll() {}
const BrailleDisplay kRecorder = {recordShow, noPoll};

class BrailleLineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    openConsole();
    resetGrid(0x07);
    flushKeyQueue();
    shown.clear();
    setBrailleDisplay(&kRecorder);
  }
  void TearDown() override {
    setBrailleDisplay(nullptr);
    acceptRouting(false);
    flushKeyQueue();
  }
};

std::string trimmed(const std::string& row) { return row.substr(0, row.find_last_not_of(' ') + 1); }

TEST_F(BrailleLineTest, TheCursorRowIsSentOnceAndAgainWhenItOrTheCursorChanges) {
  moveCursor(1, 3);
  writeText("Escolha a op\xE7\xE3o: ");
  updateBrailleLine();
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(trimmed(shown[0].row), "Escolha a op\xE7\xE3o:");
  EXPECT_EQ(shown[0].row.size(), static_cast<size_t>(kColumns));
  EXPECT_EQ(shown[0].cursor, 17);
  updateBrailleLine();
  EXPECT_EQ(shown.size(), 1u) << "an unchanged row is not sent again";
  moveCursor(3, 3);
  updateBrailleLine();
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[1].cursor, 2);
  moveCursor(1, 4);
  updateBrailleLine();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(trimmed(shown[2].row), "");
}

TEST_F(BrailleLineTest, ANarrowTextWindowStillSendsTheWholeGridRowWithAbsoluteCursor) {
  moveCursor(1, 6);
  writeText("Nome:");
  setWindow(11, 6, 40, 10);
  moveCursor(3, 1);
  writeText("texto");
  updateBrailleLine();
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(trimmed(shown.back().row), "Nome:       texto");
  EXPECT_EQ(shown.back().cursor, 17);
}

TEST_F(BrailleLineTest, RoutingIsAnEnterUnlessAReaderPlacesACursor) {
  routeToColumn(5);
  EXPECT_EQ(readKey(), key::Enter);
  EXPECT_FALSE(acceptRouting(true));
  routeToColumn(12);
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), key::Routing);
  EXPECT_EQ(routedColumn(), 12);
  routeToColumn(kColumns);   // no such cell: nothing queued
  EXPECT_EQ(queuedKeyCount(), 0);
  EXPECT_TRUE(acceptRouting(false));
}

// Portuguese braille: ç 12346, ã 345, õ 246, é 123456, ê 126, à 1246.
constexpr uint8_t dots(std::initializer_list<int> numbers) {
  uint8_t bits = 0;
  for (int n : numbers) bits |= static_cast<uint8_t>(1 << (n - 1));
  return bits;
}

TEST(BrailleTranslation, AccentedLettersTakeOneCellEachInPortugueseBraille) {
  BrailleRow row;
  ASSERT_TRUE(translateBraille("\xE7\xE3\xF5\xE9\xEA\xE0", kDefaultBrailleTable, row));
  std::vector<uint8_t> expected = {dots({1, 2, 3, 4, 6}), dots({3, 4, 5}), dots({2, 4, 6}),
                                   dots({1, 2, 3, 4, 5, 6}), dots({1, 2, 6}), dots({1, 2, 4, 6})};
  EXPECT_EQ(row.dots, expected);
  EXPECT_EQ(row.charToCell, (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(BrailleTranslation, SignsOfSeveralCellsKeepCellsAndCharactersMatched) {
  BrailleRow row;
  // "Ç" takes a capital sign before its letter; "2" a number sign.
  ASSERT_TRUE(translateBraille("a \xC7" "2", kDefaultBrailleTable, row));
  ASSERT_GT(row.dots.size(), 4u);
  ASSERT_EQ(row.charToCell.size(), 4u);
  int cedilla = row.charToCell[2];
  EXPECT_EQ(row.dots[cedilla + 1], dots({1, 2, 3, 4, 6}));
  EXPECT_EQ(row.cellToChar[cedilla], 2);
  EXPECT_EQ(row.cellToChar[cedilla + 1], 2);
  EXPECT_EQ(row.cellToChar.back(), 3);
  EXPECT_FALSE(translateBraille("a", "no-such-table.utb", row));
}

TEST(BraillePanning, TheWindowStaysWhileItHoldsTheCursorAndJumpsToTheCursorOtherwise) {
  EXPECT_EQ(panWindow(0, 40, 80, 39), 0);
  EXPECT_EQ(panWindow(0, 40, 80, 40), 40);
  EXPECT_EQ(panWindow(40, 40, 80, 10), 0);
  EXPECT_EQ(panWindow(40, 40, 80, 45), 40);
  EXPECT_EQ(panWindow(40, 40, 30, -1), 29) << "a shorter row pulls back a window with no cursor";
  EXPECT_EQ(panWindow(0, 0, 80, 10), 0);
}

TEST(BrailleFieldRouting, TheCursorGoesToTheRoutedCharacterOrJustAfterTheText) {
  EditState e = startEdit("abcdef", 10, 5, true, 4, 20, kColumns, kRows);
  e.offset = 3;   // "cdef" visible at columns 10 to 13
  routeCursor(e, 11);
  EXPECT_EQ(e.position, 4);
  routeCursor(e, 9);    // left of the field: stays
  EXPECT_EQ(e.position, 4);
  routeCursor(e, 14);   // right of the field: stays
  EXPECT_EQ(e.position, 4);
  e = startEdit("ab", 10, 5, true, 10, 20, kColumns, kRows);
  routeCursor(e, 18);   // past the text
  EXPECT_EQ(e.position, 3);
}

}  // namespace
}  // namespace varlo
