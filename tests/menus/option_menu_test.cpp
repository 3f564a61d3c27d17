// Option menus driven through the headless console: placement, movement,
// initial-letter search, Ctrl+Q, how entries are said, and the screen put
// back.
#include "widgets/option_menu.h"

#include <fstream>

#include "editor/editor_fixture.h"

namespace varlo::test {
namespace {

class Menu : public ConsoleFixture {
 protected:
  void addSound(const std::string& key) { std::ofstream(sounds / (key + ".wav")) << "RIFF"; }

  void openFruits(int left = 5, int top = 3) {
    openMenu(left, top, 12, 5, 4);
    addMenuEntry("", "Abacaxi");
    addMenuEntry("", "Banana");
    addMenuEntry("", "  bergamota");
    addMenuEntry("", "Caju");
  }
};

TEST_F(Menu, InitialLetterSearchesForwardAndStopsOnTheLastEntry) {
  openFruits();
  typeKeys("b");
  after("<words Banana >", [] { typeKeys("B"); });
  after("<words   bergamota >", [] { typeKeys("b"); });   // no later entry: last, beep
  after("<beep>", [] { typeKeys("\r"); });
  EXPECT_EQ(runMenu(), 4);
  EXPECT_EQ(selectedMenuText(), "Caju");
}

TEST_F(Menu, ArrowsMoveAndRefuseToPassTheEnds) {
  openFruits();
  pressKey(key::Up);
  after("<beep>", [] {
    pressKey(key::End);
    pressKey(key::Up);
    typeKeys("\r");
  });
  EXPECT_EQ(runMenu(), 3);
  EXPECT_EQ(selectedMenuText(), "  bergamota");
}

TEST_F(Menu, CtrlQSaysThePosition) {
  openFruits();
  pressKey(key::Down);
  after("<words Banana >", [] { typeKeys("\x11"); });
  after("_quatro", [] { typeKeys("\x1B"); });
  EXPECT_EQ(runMenu(), 0);
  std::vector<std::string> names = heardNames();
  auto at = std::find(names.begin(), names.end(), "_dois");
  ASSERT_NE(at, names.end());
  EXPECT_EQ(*(at + 1), "<words  de >");
}

TEST_F(Menu, EscGivesNothingAndTheScreenComesBackWithItsColours) {
  moveCursor(1, 4);
  setAttribute(0x1E);
  writeText("texto debaixo do menu");
  setAttribute(0x07);
  moveCursor(30, 20);
  std::string screen = screenDump();
  openFruits();
  typeKeys("\x1B");
  EXPECT_EQ(runMenu(), 0);
  EXPECT_EQ(selectedMenuText(), "");
  EXPECT_EQ(screenDump(), screen);
  EXPECT_EQ(screenAttribute(6, 4), 0x1E);
  EXPECT_EQ(currentAttribute(), 0x07);
  EXPECT_EQ(cursorColumn(), 30);
  EXPECT_EQ(cursorRow(), 20);

  openFruits();
  typeKeys("\r");
  EXPECT_EQ(runMenu(), 1);
  EXPECT_EQ(screenDump(), screen);
}

TEST_F(Menu, OpensInsideTheScreen) {
  openMenu(75, 24, 12, 5, 4);
  addMenuEntry("", "Um");
  addMenuEntry("", "Dois");
  std::string shown;
  after("<words Um >", [] { typeKeys("\x1B"); });
  runMenu();
  // Moved left to column 68 and up to row 22.
  for (const Heard& h : script().heard) shown = h.attributes;
  EXPECT_EQ(attributeAt(shown, 68, 22), 0xF5);   // current: inverse video, magenta on white
  EXPECT_EQ(attributeAt(shown, 79, 23), 0x5F);
  EXPECT_EQ(attributeAt(shown, 80, 23), 0x07);
}

TEST_F(Menu, LongListsScrollInsideTheirRectangle) {
  moveCursor(1, 8);
  writeText("abaixo");
  openMenu(1, 5, 10, 5, 3);
  for (const char* t : {"um", "dois", "tres", "quatro", "cinco"}) addMenuEntry("", t);
  pressKey(key::End);
  after("<words cinco >", [] { typeKeys("\r"); });
  EXPECT_EQ(runMenu(), 5);
  EXPECT_EQ(screenRow(8), "abaixo");   // never drawn over
  std::string shown = script().heard.back().attributes;
  EXPECT_EQ(attributeAt(shown, 1, 7), 0xF5);   // the last entry on the last row
}

TEST_F(Menu, EntriesAreSaidFromTheirRecordingsWhenThereAreAny) {
  addSound("VLGERCD");
  addSound("VLMOD");
  openMenu(1, 1, 30, 5, 3);
  addMenuEntry("VLGERCD", "Gerar CD");
  addMenuEntry("m|VLMOD", "Modificar");
  addMenuEntry("q|VLNADA", "Quadro");
  after("VLGERCD", [] { pressKey(key::Down); });
  after("VLMOD", [] { pressKey(key::Down); });
  after("<words Quadro >", [] { pressKey(key::Right); });
  after(letter('o'), [] { typeKeys("\x1B"); });
  runMenu();
  EXPECT_EQ(heardNames(), (std::vector<std::string>{
                              "VLGERCD", letter('m'), "VLMOD", "<words Quadro >",
                              letter('Q'), letter('u'), letter('a'), letter('d'), letter('r'),
                              letter('o')}));
}

}  // namespace
}  // namespace varlo::test
