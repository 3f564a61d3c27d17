// The field editor driven through the headless console: keys in, the value,
// the screen and what was heard out.
#include "widgets/field_editor.h"

#include "widgets/option_menu_screen.h"
#include "editor/editor_fixture.h"

namespace varlo::test {
namespace {

using Editor = ConsoleFixture;
constexpr uint8_t kShift = keymod::shift, kAlt = keymod::alt;

uint8_t edit(std::string& value, int maxLength, bool editable = true, int x = 1, int y = 3) {
  return editField(value, x, y, editable, 40, maxLength);
}

TEST_F(Editor, TypingIntoAFullFieldBeepsAndInsertingPushesTheLastCharacterOut) {
  std::string value = "abcde";
  pressKey(key::End);   // a movement first: typing no longer replaces
  typeKeys("x");
  after("<beep>", [] {
    pressKey(key::Home);
    typeKeys("X\r");
  });
  EXPECT_EQ(edit(value, 5), key::Enter);
  EXPECT_EQ(value, "Xabcd");
  EXPECT_EQ(heardCount("<beep>"), 1);
  EXPECT_EQ(screenRow(3), "Xabcd");
}

TEST_F(Editor, FirstTypedKeyReplacesTheTextWithTwoClicksButAnArrowKeepsIt) {
  std::string value = "hello";
  typeKeys("W\r");
  edit(value, 20);
  EXPECT_EQ(value, "W");
  EXPECT_EQ(heardCount("<click>"), 2);

  clearHeard();
  value = "hello";
  pressKey(key::Right);
  typeKeys("W\r");
  edit(value, 20);
  EXPECT_EQ(value, "hWello");
  EXPECT_EQ(heardCount("<click>"), 0);

  speechOptions().firstKeyReplaces = false;
  value = "hello";
  typeKeys("W\r");
  edit(value, 20);
  EXPECT_EQ(value, "Whello");
  EXPECT_EQ(heardCount("<click>"), 0);
}

TEST_F(Editor, EchoSaysTypedKeysUntilF4TurnsItOff) {
  std::string value;
  typeKeys("a");
  pressKey(key::F4);
  typeKeys("b\r");
  edit(value, 20);
  EXPECT_EQ(value, "ab");
  EXPECT_EQ(heardNames(), (std::vector<std::string>{letter('a'), "_FALDLG"}));
  EXPECT_FALSE(speechOptions().echoKeys);
}

TEST_F(Editor, ShiftRightSelectsAndShiftDeleteRemovesTheSelection) {
  std::string value = "abcdefg";
  pressKey(key::Right);
  for (int i = 0; i < 3; ++i) pressKey(key::Right, kShift);
  typeKeys("\x03");   // Ctrl+C copies the selection, which stays
  pressKey(key::Delete, kShift);
  pressKey(key::Delete);
  typeKeys("\r");
  edit(value, 20);
  EXPECT_EQ(pasteText(100), "bcd");
  EXPECT_EQ(value, "afg");
  EXPECT_EQ(lastEditPosition(), 2);
  // One "_DEL" for the whole selection, then "_DEL" and the letter for Delete.
  std::vector<std::string> names = heardNames();
  std::vector<std::string> tail(names.end() - 3, names.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"_DEL", "_DEL", letter('e')}));
}

TEST_F(Editor, SelectionIsShownOnGreyAndPasteReplacesIt) {
  copyText("XY\r\nnot this");
  std::string value = "abc def";
  pressKey(key::Right);
  pressKey(key::Right, kShift);
  pressKey(key::Right, kShift);
  pressKey(key::CtrlRight);   // its click is heard while the selection shows
  pressKey(key::Home);
  pressKey(key::Right);
  pressKey(key::Right, kShift);
  pressKey(key::Right, kShift);
  typeKeys("\x16\r");   // Ctrl+V
  edit(value, 20);
  EXPECT_EQ(value, "aXY def");
  std::string shown;
  for (const Heard& h : script().heard)
    if (h.name == "<click>") shown = h.attributes;
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(attributeAt(shown, 1, 3), 0x07);
  EXPECT_EQ(attributeAt(shown, 2, 3), 0x87);
  EXPECT_EQ(attributeAt(shown, 3, 3), 0x87);
  EXPECT_EQ(attributeAt(shown, 4, 3), 0x07);
  EXPECT_EQ(screenAttribute(2, 3), 0x07);   // the end of the edit draws it plainly
}

TEST_F(Editor, CtrlUUndoesEveryChangeWithThreeBeeps) {
  std::string value = "abc";
  pressKey(key::End);
  typeKeys("xy\x08\x08\x08");
  typeKeys("\x15");   // Ctrl+U
  after("<beep>", [] {});
  after("<beep>", [] {});
  after("<beep>", [] { typeKeys("\r"); });
  EXPECT_EQ(edit(value, 10), key::Enter);
  EXPECT_EQ(value, "abc");
  EXPECT_EQ(heardCount("<beep>"), 3);
}

TEST_F(Editor, MovingPastEitherEndBeeps) {
  std::string value = "ab";
  pressKey(key::Left);
  after("<beep>", [] {
    pressKey(key::End);
    pressKey(key::Right);
    pressKey(key::Right);
  });
  after("<beep>", [] { typeKeys("\r"); });
  edit(value, 3);
  EXPECT_EQ(heardCount("<beep>"), 2);
  // End stops after "ab"; one Right says the blank and reaches the end.
  EXPECT_EQ(heardCount(letter(' ')), 1);
  EXPECT_EQ(lastEditPosition(), 4);
}

TEST_F(Editor, WordMovementClicksAndCtrlBackspaceDeletesTheWordBeforeTheCursor) {
  std::string value = "um dois, tres";
  pressKey(key::CtrlRight);
  pressKey(key::CtrlRight);
  typeKeys("\r");
  edit(value, 20);
  EXPECT_EQ(lastEditPosition(), 10);
  EXPECT_EQ(heardCount("<click>"), 2);

  clearHeard();
  pressKey(key::End);
  typeKeys("\x7F\r");
  edit(value, 20);
  EXPECT_EQ(value, "um dois,");
  EXPECT_EQ(heardCount("_DEL"), 1);   // only the first deletion is announced
}

TEST_F(Editor, ClearingKeysPlayTheirRecordings) {
  std::string value = "abcdef";
  pressKey(key::Right);
  pressKey(key::Right);
  typeKeys("\x13");   // Ctrl+S: "cdef"
  pressKey(key::Right);
  typeKeys("\x04\r");  // Ctrl+D: "c"
  edit(value, 10);
  EXPECT_EQ(value, "c");
  EXPECT_EQ(heardCount("_APICPO"), 1);
  EXPECT_EQ(heardCount("_APFCPO"), 1);

  typeKeys("\x19\r");  // Ctrl+Y
  edit(value, 10);
  EXPECT_EQ(value, "");
  EXPECT_EQ(heardCount("_CPOAPA"), 1);
}

TEST_F(Editor, ReadOnlyFieldIgnoresChangesSilentlyButMoves) {
  std::string value = "fixo";
  typeKeys("z\x08\x19\x04");
  pressKey(key::Delete);
  pressKey(key::Right);
  typeKeys("\r");
  edit(value, 10, false);
  EXPECT_EQ(value, "fixo");
  EXPECT_EQ(heardNames(), std::vector<std::string>{letter('f')});
  EXPECT_EQ(lastEditPosition(), 2);
}

TEST_F(Editor, AltRightPlaysThePhoneticNameOfALetter) {
  std::string value = "b1";
  pressKey(key::Right, kAlt);
  pressKey(key::Right, kAlt);
  typeKeys("\r");
  edit(value, 10);
  EXPECT_EQ(heardNames(), (std::vector<std::string>{"_FON98", letter('1')}));
}

TEST_F(Editor, ExtendedKeysEndTheEditWithTheirCode) {
  std::string value = "x";
  pressKey(key::Down);
  EXPECT_EQ(edit(value, 10), key::Down);
  pressKey(key::F9);
  EXPECT_EQ(edit(value, 10), key::F9);
  speechOptions().editorReturnsClipboardKeys = true;
  typeKeys("\x16");
  EXPECT_EQ(edit(value, 10), 22);
}

TEST_F(Editor, FieldOnTheBottomRowLeavesTheLastColumnFree) {
  std::string value = "0123456789ABCDE";
  typeKeys("\r");
  editField(value, 70, kRows, true, 11, 20);
  EXPECT_EQ(screenRow(kRows), std::string(69, ' ') + "0123456789");
  EXPECT_EQ(value, "0123456789ABCDE");
}

TEST_F(Editor, LongValuesScrollInsideTheField) {
  std::string value;
  typeKeys("abcdefghij\r");
  editField(value, 1, 3, true, 5, 20);
  EXPECT_EQ(value, "abcdefghij");
  EXPECT_EQ(screenRow(3), "abcde");   // the end shows the start again
}

TEST_F(Editor, ReadLineSpokenEscErasesWhatWasTyped) {
  moveCursor(5, 4);
  typeKeys("segredo\x1B");
  std::string value = "old";
  readLineSpoken(value);
  EXPECT_EQ(value, "");
  EXPECT_EQ(screenRow(4), "");
  EXPECT_EQ(cursorRow(), 5);
  EXPECT_EQ(cursorColumn(), 1);

  typeKeys("linha\r");
  readLineSpoken(value);
  EXPECT_EQ(value, "linha");
  EXPECT_EQ(screenRow(5), "linha");
}

TEST_F(Editor, ReadNumberSpokenKeepsTheLeadingIntegerAndLeavesTheNumberOnEmptyOrEsc) {
  int number = 7;
  typeKeys(" 12abc\r");
  readNumberSpoken(number);
  EXPECT_EQ(number, 12);
  typeKeys("\r");
  readNumberSpoken(number);
  EXPECT_EQ(number, 12);
  typeKeys("99\x1B");
  readNumberSpoken(number);
  EXPECT_EQ(number, 12);
  typeKeys("-5\r");
  readNumberSpoken(number);
  EXPECT_EQ(number, -5);
  typeKeys("99999999999\r");
  readNumberSpoken(number);
  EXPECT_EQ(number, 2147483647);
}

TEST_F(Editor, F1ReadsTheWordAtTheCursorAndMovesPastIt) {
  std::string value = "  xz 42";
  pressKey(key::F1);   // consonants only: spelled
  after(letter('z'), [] { pressKey(key::F1); });   // a number: spoken
  after("_dois", [] { pressKey(key::F1); });   // nothing left: beep
  after("<beep>", [] { typeKeys("\r"); });
  edit(value, 10);
  std::vector<std::string> names = heardNames();
  ASSERT_GE(names.size(), 4u) << testing::PrintToString(names);
  EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 3),
            (std::vector<std::string>{letter('x'), letter('z'), "_quarent"}));
  EXPECT_EQ(names.back(), "<beep>");
  EXPECT_EQ(lastEditPosition(), 8);
}

}  // namespace
}  // namespace varlo::test
