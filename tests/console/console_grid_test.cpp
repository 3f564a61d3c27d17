#include "console_fixture.h"

namespace varlo {
namespace {

using ConsoleGrid = ConsoleTest;

TEST_F(ConsoleGrid, WrapIsDeferredUntilTheNextPrintableByte) {
  writeText(std::string(80, 'x'));
  EXPECT_EQ(cursorColumn(), 81);
  EXPECT_EQ(cursorRow(), 1);
  writeText("y");
  EXPECT_EQ(screenRow(2), "y");
  EXPECT_EQ(cursorColumn(), 2);
  EXPECT_EQ(cursorRow(), 2);

  // A full bottom row does not scroll by itself; the next letter does.
  moveCursor(1, 25);
  writeText(std::string(80, 'b'));
  EXPECT_EQ(screenRow(2), "y");
  writeText("z");
  EXPECT_EQ(screenRow(1), "y");
  EXPECT_EQ(screenRow(24), std::string(80, 'b'));
  EXPECT_EQ(screenRow(25), "z");
}

TEST_F(ConsoleGrid, LineFeedScrollsOnlyOnTheBottomRow) {
  writeText("first\nsecond\n");
  EXPECT_EQ(cursorRow(), 3);
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(screenRow(1), "first");
  moveCursor(4, 25);
  writeText("last\n");
  EXPECT_EQ(screenRow(1), "second");
  EXPECT_EQ(screenRow(24), "   last");
  EXPECT_EQ(screenRow(25), "");
  EXPECT_EQ(cursorRow(), 25);
  EXPECT_EQ(cursorColumn(), 1);
}

TEST_F(ConsoleGrid, CarriageReturnBackspaceAndControlBytes) {
  writeText("abc\rX");
  EXPECT_EQ(screenRow(1), "Xbc");
  EXPECT_EQ(cursorRow(), 1);

  moveCursor(1, 2);
  writeText("q\b\b");   // the second backspace is at column 1: nothing
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(screenRow(2), "");

  moveCursor(5, 3);
  writeText("\b");
  EXPECT_EQ(cursorColumn(), 4);
  writeText("k\x01\x1b\x7f\xe7");   // 1 and 27 are not printed; 127 and 231 are
  EXPECT_EQ(screenRow(3), "   k\x7f\xe7");

  // Backspace while a wrap is pending erases the last column.
  moveCursor(1, 4);
  writeText(std::string(80, 'w') + "\b");
  EXPECT_EQ(cursorColumn(), 80);
  EXPECT_EQ(screenRow(4), std::string(79, 'w'));
}

TEST_F(ConsoleGrid, TextWindowScrollsOnlyItsRowsAndColumns) {
  std::string full(80, '#');
  for (int r = 1; r <= 25; ++r) {
    moveCursor(1, r);
    writeText(full.substr(0, r == 25 ? 79 : 80));
  }
  setWindow(11, 5, 30, 10);
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(cursorRow(), 1);
  for (int line = 1; line <= 7; ++line) writeText("line " + std::to_string(line) + "\n");

  EXPECT_EQ(screenRow(4), full);
  EXPECT_EQ(screenRow(11), full);
  // Rows that scrolled up keep what the window held beside the text.
  EXPECT_EQ(screenRow(5), std::string(10, '#') + "line 3" + std::string(64, '#'));
  EXPECT_EQ(screenRow(9), std::string(10, '#') + "line 7" + std::string(14, ' ') + std::string(50, '#'));
  EXPECT_EQ(screenRow(10), std::string(10, '#') + std::string(20, ' ') + std::string(50, '#'));

  // Read-back and the cursor are relative to the window.
  EXPECT_EQ(screenChar(1, 1), 'l');
  EXPECT_EQ(screenChar(6, 5), '7');
  EXPECT_EQ(cursorRow(), 6);
  TextWindow w = textWindow();
  EXPECT_EQ(w.left, 10);
  EXPECT_EQ(w.top, 4);
  EXPECT_EQ(w.right, 29);
  EXPECT_EQ(w.bottom, 9);

  // A long line wraps at the window's right edge.
  clearWindow();
  writeText(std::string(21, 'm'));
  EXPECT_EQ(screenRow(5), std::string(10, '#') + std::string(20, 'm') + std::string(50, '#'));
  EXPECT_EQ(screenChar(1, 2), 'm');
  EXPECT_EQ(screenChar(2, 2), ' ');
}

TEST_F(ConsoleGrid, ClearingUsesTheCurrentAttribute) {
  writeText("abcdef");
  setAttribute(0x1E);
  moveCursor(3, 1);
  clearToLineEnd();
  EXPECT_EQ(screenRow(1), "ab");
  EXPECT_EQ(screenAttribute(2, 1), 0x07);
  EXPECT_EQ(screenAttribute(3, 1), 0x1E);
  EXPECT_EQ(screenAttribute(80, 1), 0x1E);
  EXPECT_EQ(screenAttribute(1, 2), 0x07);
  EXPECT_EQ(cursorColumn(), 3);

  writeText("Z");
  EXPECT_EQ(screenAttribute(3, 1), 0x1E);
  setAttribute(0x40);
  clearWindow();
  EXPECT_EQ(screenDump(), std::string(25, '\n'));
  EXPECT_EQ(screenAttribute(80, 25), 0x40);
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(cursorRow(), 1);
}

TEST_F(ConsoleGrid, CursorMovesAreClampedToTheWindow) {
  moveCursor(0, 99);
  EXPECT_EQ(cursorColumn(), 1);
  EXPECT_EQ(cursorRow(), 25);
  moveCursor(200, -3);
  EXPECT_EQ(cursorColumn(), 80);
  EXPECT_EQ(cursorRow(), 1);
  setWindow(41, 13, 60, 15);
  moveCursor(25, 4);
  EXPECT_EQ(cursorColumn(), 20);
  EXPECT_EQ(cursorRow(), 3);
}

TEST_F(ConsoleGrid, WindowOutsideTheGridIsKeptOnIt) {
  setWindow(70, 20, 95, 40);
  TextWindow w = textWindow();
  EXPECT_EQ(w.right, 79);
  EXPECT_EQ(w.bottom, 24);
  for (int i = 0; i < 30; ++i) writeText(std::string(15, 'v') + "\n");
  EXPECT_EQ(screenRow(25).size(), 0u);
  EXPECT_EQ(screenRow(23), std::string(69, ' ') + std::string(11, 'v'));
  EXPECT_EQ(screenRow(24), std::string(69, ' ') + std::string(4, 'v'));

  setWindow(50, 10, 20, 5);   // inverted: one cell wide and high at least
  w = textWindow();
  EXPECT_LE(w.left, w.right);
  EXPECT_LE(w.top, w.bottom);
  writeText("abc\ndef");
  EXPECT_EQ(screenChar(1, 1), 'f');
  EXPECT_EQ(screenRow(10).substr(49), "f");
}

TEST_F(ConsoleGrid, TitleIsTrimmedAndCut) {
  setTitle("   Convers\xE3o  ");
  EXPECT_EQ(windowTitle(), "Convers\xE3o");
  setTitle(std::string(141, 't'));
  EXPECT_EQ(windowTitle(), std::string(140, 't') + "...");
  setTitle(std::string(140, 'u'));
  EXPECT_EQ(windowTitle(), std::string(140, 'u'));
}

}  // namespace
}  // namespace varlo
