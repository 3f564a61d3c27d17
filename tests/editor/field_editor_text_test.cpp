// The editing rules on the edit record alone: words, deletion ranges, the
// address under the cursor, copy and paste.
#include <gtest/gtest.h>

#include "widgets/field_editor_state.h"

namespace varlo {
namespace {

EditState state(std::string_view value, int maxLength = 30) {
  return startEdit(value, 1, 1, true, 30, maxLength, 80, 25);
}

TEST(EditText, SetUpLimitsLengthsAndKeepsTheBottomRightCellFree) {
  EditState e = startEdit("abcdef", 70, 25, true, 11, 4, 80, 25);
  EXPECT_EQ(e.value, "abcd");
  EXPECT_EQ(e.width, 4);   // never wider than the maximum length
  e = startEdit("", 70, 25, true, 11, 50, 80, 25);
  EXPECT_EQ(e.width, 10);
  e = startEdit("", 70, 24, true, 11, 50, 80, 25);
  EXPECT_EQ(e.width, 11);
  e = startEdit("", 1, 1, true, 5000, 5000, 80, 25);
  EXPECT_EQ(e.maxLength, 2048);
}

// However far the cursor goes, it stays on one of the field's columns, also
// one past the last character of a text longer than the field.
TEST(EditText, TheCursorStaysInsideTheFieldAsItScrolls) {
  EditState e = startEdit("", 1, 1, true, 5, 20, 80, 25);
  for (char c : std::string("abcdefghij")) {
    insertAtCursor(e, static_cast<uint8_t>(c));
    keepCursorVisible(e);
    EXPECT_GE(e.position - e.offset, 0) << c;
    EXPECT_LE(e.position - e.offset, e.width - 1) << c;
  }
  EXPECT_EQ(e.position, 11);
  EXPECT_EQ(e.offset, 7) << "fghij's last four and the cursor after them";
  e.position = 1;
  keepCursorVisible(e);
  EXPECT_EQ(e.offset, 1);
  e.position = 5;   // the field's last column: no scroll yet
  keepCursorVisible(e);
  EXPECT_EQ(e.offset, 1);
  e.position = 6;
  keepCursorVisible(e);
  EXPECT_EQ(e.offset, 2);
}

TEST(EditText, WordsAreRunsOfLettersOrOfDigits) {
  EditState e = state("ab12 ,cd");
  EXPECT_EQ(nextWordStart(e, 1), 3);    // the digits are a word of their own
  EXPECT_EQ(nextWordStart(e, 3), 7);
  EXPECT_EQ(nextWordStart(e, 7), 0);
  EXPECT_EQ(previousWordStart(e, 9), 7);
  EXPECT_EQ(previousWordStart(e, 7), 3);
  EXPECT_EQ(previousWordStart(e, 1), 0);
  EditState accented = state("a\xE7\xE3o x");
  EXPECT_EQ(nextWordStart(accented, 1), 6);
}

TEST(EditText, CtrlBackspaceRangeStartsAtTheWordBeforeTheCursor) {
  EditState e = state("abc def");
  e.position = 8;
  EXPECT_EQ(wordDeleteStart(e), 5);
  EXPECT_EQ(wordDeleteCount(e, 5), 3);
  e.position = 6;                      // inside "def": from its start to the end
  EXPECT_EQ(wordDeleteStart(e), 5);
  e.position = 3;                      // inside "abc": up to the next word
  EXPECT_EQ(wordDeleteStart(e), 1);
  EXPECT_EQ(wordDeleteCount(e, 1), 4);
}

TEST(EditText, WordAtCursorTellsNumbersWordsAndSigns) {
  EditState e = state("  -12x ol\xE1 ?");
  WordAtCursor w = wordAt(e, 1);
  EXPECT_EQ(w.kind, WordKind::number);
  EXPECT_EQ(w.text, "-12");
  EXPECT_EQ(w.end, 6);
  w = wordAt(e, 7);
  EXPECT_EQ(w.kind, WordKind::word);
  EXPECT_EQ(w.text, "ol\xE1");
  w = wordAt(e, 11);
  EXPECT_EQ(w.kind, WordKind::other);
  EXPECT_EQ(wordAt(e, 13).kind, WordKind::none);
}

TEST(EditText, AddressIsTheWordBetweenSpacesWithMarksTrimmed) {
  EditState e = state("veja (www.exemplo.com.br). ok");
  EXPECT_EQ(addressAt(e, 10), "www.exemplo.com.br");
  EXPECT_EQ(addressAt(e, 5), "");            // on a space
  EditState marks = state("a <<...>> b");
  EXPECT_EQ(addressAt(marks, 4), "");        // nothing but marks
}

TEST(EditText, InsertAndRemoveKeepThePaddedLength) {
  EditState e = state("abc", 4);
  e.position = 2;
  EXPECT_TRUE(insertAtCursor(e, 'X'));
  EXPECT_EQ(e.value, "aXbc");
  EXPECT_TRUE(insertAtCursor(e, 'Y'));
  EXPECT_EQ(e.value, "aXYb");
  e.position = 5;
  EXPECT_FALSE(insertAtCursor(e, 'Z'));
  EXPECT_EQ(removeAt(e, 1), 'a');
  EXPECT_EQ(e.value, "XYb ");
  removeBefore(e, 3);
  EXPECT_EQ(e.value, "b   ");
}

TEST(EditText, CopyTakesTheSelectionOrTheWholeLine) {
  EditState e = state("abcdef");
  EXPECT_EQ(copiedText(e), "abcdef\r\n");
  e.selStart = 5;
  e.selEnd = 2;   // a selection made leftwards
  EXPECT_EQ(copiedText(e), "bcd");
}

TEST(EditText, PasteReplacesTheSelectionAndSelectsWhatCameIn) {
  EditState e = state("abcdef", 8);
  e.selStart = 2;
  e.selEnd = 4;
  pasteInto(e, "123456\nrest");
  EXPECT_EQ(e.value, "a123456d");   // cut to the maximum length
  EXPECT_EQ(e.position, 2);
  EXPECT_EQ(e.selStart, 2);
  EXPECT_EQ(e.selEnd, 8);

  EditState plain = state("xy", 5);
  plain.position = 3;
  pasteInto(plain, "Z");
  EXPECT_EQ(plain.value, "xyZ  ");

  EditState controls = state("", 6);
  pasteInto(controls, std::string("a\tb\x1B\0c", 6));
  EXPECT_EQ(controls.value, "a b  c");   // control bytes come in as spaces
}

}  // namespace
}  // namespace varlo
