// The review driven key by key through the headless console, and its entry
// points in the editor, the option menu and the marking list.
#include "widgets/field_editor.h"
#include "widgets/form.h"
#include "widgets/marking_list.h"
#include "widgets/option_menu.h"
#include "widgets/screen_review.h"
#include "widgets/screen_review_state.h"
#include "editor/editor_fixture.h"

namespace varlo::test {
namespace {

using Review = ConsoleFixture;
constexpr uint8_t kReviewHeld = keymod::alt | keymod::ctrl;

void writeAt(int column, int row, const std::string& text) {
  moveCursor(column, row);
  writeText(text);
}

// Keys for the review once its entering beep was heard.
void onEntering(std::function<void()> keys) { after("<beep>", std::move(keys)); }

TEST_F(Review, WordsAreReadUpToTheAccentAndTheColonAlone) {
  writeAt(1, 4, "Nome:  Jo\xE3o");
  moveCursor(1, 4);
  onEntering([] { pressKey(key::F1); });
  after("<words Nome >", [] { pressKey(key::F1); });
  after(letter(':'), [] { pressKey(key::F1); });
  after("<words Jo >", [] { typeKeys("\x1B"); });
  reviewScreen();
  std::vector<std::string> names = heardNames();
  auto nome = std::find(names.begin(), names.end(), "<words Nome >");
  ASSERT_NE(nome, names.end());
  EXPECT_EQ(heardCount("<words Jo\xE3o >"), 0);
}

TEST_F(Review, DownPastTheLastRowBeepsAndStays) {
  writeAt(1, 24, "penultima");
  moveCursor(1, 24);
  onEntering([] { pressKey(key::Down); });
  after("<click>", [] {});             // moved to row 25
  after("<click>", [] { pressKey(key::Down); });   // which is empty
  after("<beep>", [] { typeKeys("\x1B"); });
  reviewScreen();
  EXPECT_EQ(heardCount("<words penultima >"), 0);
  EXPECT_EQ(reviewState().row, kRows);
}

TEST_F(Review, F6TakesRowAndColumn) {
  moveCursor(1, 1);
  onEntering([] {
    pressKey(key::F6);
    typeKeys("1205");
  });
  after(letter('5'), [] { typeKeys("\x1B"); });
  reviewScreen();
  EXPECT_EQ(reviewState().row, 12);
  EXPECT_EQ(reviewState().column, 5);
  EXPECT_EQ(cursorColumn(), 1);   // the text cursor is back
  EXPECT_EQ(cursorRow(), 1);
}

TEST_F(Review, TLReadsTheRowAndNothingOnAnEmptyOne) {
  writeAt(3, 12, "doze");
  moveCursor(1, 12);
  onEntering([] { typeKeys("tl"); });
  after("<words doze >", [] { pressKey(key::Down); });
  after("<click>", [] {});   // moved to row 13
  after("<click>", [] { typeKeys("TL"); });   // an empty row
  after("<click>", [] { typeKeys("\x1B"); });
  reviewScreen();
  EXPECT_EQ(heardCount("<words doze >"), 1);
  EXPECT_EQ(reviewState().row, 13);
  EXPECT_EQ(reviewState().column, 1);   // the reading of the cursor's row puts it back
}

TEST_F(Review, F6CancelledByANonDigit) {
  moveCursor(7, 9);
  onEntering([] {
    pressKey(key::F6);
    typeKeys("1x");
  });
  after("<beep>", [] {});
  after("<beep>", [] { typeKeys("\x1B"); });
  reviewScreen();
  EXPECT_EQ(heardCount("<beep>"), 5);
}

TEST_F(Review, SearchFindsWithAClickAndMissesWithTwoBeeps) {
  writeAt(1, 2, "um texto aqui");
  writeAt(5, 20, "aqui no fim");
  moveCursor(1, 2);
  onEntering([] {
    pressKey(key::F5);
    typeKeys("aqui\r");
  });
  after("<click>", [] { pressKey(key::CtrlF5); });   // the same text again, further down
  after("<click>", [] { typeKeys("fl"); });
  after("<words aqui >", [] {});
  after("<words fim >", [] {
    pressKey(key::F5);
    typeKeys("nada\r");
  });
  after("<beep>", [] {});
  after("<beep>", [] { typeKeys("\x1B"); });
  reviewScreen();
  EXPECT_EQ(reviewState().row, 20);
  EXPECT_EQ(reviewState().column, 5);
  EXPECT_EQ(reviewState().lastSearch, "nada");
}

TEST_F(Review, LeavingPutsTheCursorAndANarrowWindowBack) {
  setWindow(11, 5, 60, 20);
  moveCursor(4, 3);
  onEntering([] {
    pressKey(key::PageUp);
    typeKeys("\x1B");
  });
  reviewScreen();
  TextWindow w = textWindow();
  EXPECT_EQ(w.left, 10);
  EXPECT_EQ(w.top, 4);
  EXPECT_EQ(w.right, 59);
  EXPECT_EQ(cursorColumn(), 4);
  EXPECT_EQ(cursorRow(), 3);
  setWindow(1, 1, kColumns, kRows);
}

TEST_F(Review, CtrlCCopiesTheWholeScreen) {
  writeAt(1, 1, "topo");
  onEntering([] { typeKeys("\x03\x1B"); });
  reviewScreen();
  std::string copy = pasteText(4096);
  ASSERT_EQ(copy.size(), 25u * 82);
  EXPECT_EQ(copy.substr(0, 6), "topo  ");
  EXPECT_EQ(copy.substr(80, 2), "\r\n");
}

TEST_F(Review, AnUnknownKeyIsRefused) {
  onEntering([] { typeKeys("#"); });
  after("<beep>", [] {});
  after("<click>", [] {});
  after("<beep>", [] { typeKeys("\x1B"); });
  reviewScreen();
}

TEST_F(Review, TheFieldEditorKeepsItsTextCursorAndSelection) {
  std::string value = "projeto";
  pressKey(key::End);
  pressKey(key::Left);
  pressKey(key::Left, keymod::shift);   // selects the "t"
  pressKey(key::CtrlF9, kReviewHeld);
  after("<beep>", [] { typeKeys("\x1B"); });
  after("<beep>", [] {});
  after("<beep>", [] { pressKey(key::CtrlInsert); typeKeys("\r"); });
  EXPECT_EQ(editField(value, 5, 10, true, 30, 40), key::Enter);
  EXPECT_EQ(value, "projeto");
  EXPECT_EQ(lastEditPosition(), 6);
  EXPECT_EQ(pasteText(100), "t");   // the selection survived the review
}

TEST_F(Review, TheOptionMenuKeepsItsEntry) {
  moveCursor(1, 3);
  openMenu(1, 3, 20, 1, 5);
  addMenuEntry("", "primeira");
  addMenuEntry("", "segunda");
  addMenuEntry("", "terceira");
  after("<words primeira >", [] {
    pressKey(key::Down);
    pressKey(key::CtrlF9, kReviewHeld);
  });
  after("<beep>", [] { typeKeys("\x1B"); });
  after("<beep>", [] {});
  after("<beep>", [] {});
  after("<words segunda >", [] { typeKeys("\r"); });
  EXPECT_EQ(runMenu(), 2);
}

// The review key neither ends the form nor loses its field: typing goes on
// in the field the review was opened from.
TEST_F(Review, TheFormGoesOnInItsField) {
  std::string name = "antigo", city = "Recife";
  moveCursor(1, 3);
  beginForm();
  addTextField("", "Nome", name, 30);
  addTextField("", "Cidade", city, 30);
  after("<words antigo >", [] { pressKey(key::Down); });
  after("<words Recife >", [] { pressKey(key::CtrlF9, kReviewHeld); });
  after("<beep>", [] { typeKeys("\x1B"); });
  after("<beep>", [] {});
  after("<beep>", [] { typeKeys("Olinda\x1B"); });
  EXPECT_EQ(runForm(true), key::Esc);
  EXPECT_EQ(name, "antigo");
  EXPECT_EQ(city, "Olinda");
}

TEST_F(Review, TheMarkingListKeepsItsEntry) {
  openList(1, 2, 40, 4);
  for (const char* t : {"um", "dois", "tres"}) addListEntry(t);
  pressKey(key::CtrlF9, kReviewHeld);
  after("<beep>", [] { typeKeys("\x1B"); });
  after("<beep>", [] {});
  after("<beep>", [] { typeKeys("\r"); });
  ListResult r = runList(2, false);
  EXPECT_EQ(r.key, key::Enter);
  EXPECT_EQ(r.index, 2);
}

}  // namespace
}  // namespace varlo::test
