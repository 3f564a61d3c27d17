// Forms and marking lists driven through the headless console.
#include <cmath>

#include "widgets/form.h"
#include "widgets/marking_list.h"
#include "editor/editor_fixture.h"

namespace varlo::test {
namespace {

using Form = ConsoleFixture;
using MarkingList = ConsoleFixture;
constexpr uint8_t kShift = keymod::shift;

TEST(FormWriteBack, EachTypeReadsItsValue) {
  int32_t number = 5;
  TCampo integer{"", "", " 42x ", "", 10, FieldType::integer};
  integer.integer = &number;
  writeBackField(integer);
  EXPECT_EQ(number, 42);
  integer.value = "";
  writeBackField(integer);
  EXPECT_EQ(number, 0);

  bool flag = false;
  TCampo yesNo{"", "", " sim", "", 3, FieldType::yesNo};
  yesNo.yesNo = &flag;
  writeBackField(yesNo);
  EXPECT_TRUE(flag);
  yesNo.value = "n\xE3o";
  writeBackField(yesNo);
  EXPECT_FALSE(flag);
  yesNo.value = "Talvez";
  writeBackField(yesNo);
  EXPECT_TRUE(flag);
  flag = false;
  yesNo.value = "   ";   // empty: unchanged
  writeBackField(yesNo);
  EXPECT_FALSE(flag);

  double real = 0;
  TCampo realField{"", "", "3,5", "", 10, FieldType::real};
  realField.real = &real;
  writeBackField(realField);
  EXPECT_DOUBLE_EQ(real, 3.5);
  realField.value = " -0.25 ";
  writeBackField(realField);
  EXPECT_DOUBLE_EQ(real, -0.25);

  std::string text;
  TCampo textField{"", "", std::string(300, 'x') + "  ", "", 300, FieldType::text};
  textField.text = &text;
  writeBackField(textField);
  EXPECT_EQ(text, std::string(255, 'x'));
}

TEST_F(Form, EscStillWritesEveryFieldBack) {
  std::string name = "antigo";
  int32_t lines = 10;
  bool mp3 = true;
  double speed = 1.0;
  moveCursor(1, 3);
  beginForm();
  addTextField("VLNOME", "Nome", name, 30);
  addIntegerField("VLLIN", "Linhas", lines);
  addYesNoField("VLMP3", "Gerar MP3", mp3);
  addRealField("VLVEL", "Velocidade", speed, 8);
  EXPECT_EQ(screenRow(3), "");
  // The form empties the key queue first: keys come once the first value is said.
  after("<words antigo >", [] {
    typeKeys("novo\t250\tn\r");
    pressKey(key::Up);     // back to the yes/no field, then on to the last
    pressKey(key::Down);
    typeKeys("2,75\x1B");
  });
  EXPECT_EQ(runForm(true), key::Esc);
  EXPECT_EQ(name, "novo");
  EXPECT_EQ(lines, 250);
  EXPECT_FALSE(mp3);
  EXPECT_DOUBLE_EQ(speed, 2.75);
  // Labels right-aligned in 28 columns, values after them.
  EXPECT_EQ(screenRow(4), std::string(21, ' ') + "Linhas 250");
  EXPECT_EQ(screenAttribute(1, 4), 0x67);   // white on brown
  EXPECT_EQ(cursorRow(), 7);
}

TEST_F(Form, ReadOnlyFormKeepsTheValues) {
  std::string name = "fixo";
  moveCursor(1, 2);
  beginForm();
  addTextField("", "Nome", name, 10);
  after("<words fixo >", [] {
    typeKeys("abc");
    pressKey(key::PageDown);
  });
  EXPECT_EQ(runForm(false), key::PageDown);
  EXPECT_EQ(name, "fixo");
}

TEST_F(Form, MovingPastTheLastFieldBeeps) {
  std::string a = "a", b = "b";
  moveCursor(1, 2);
  beginForm();
  addTextField("", "A", a, 10);
  addTextField("", "B", b, 10);
  after("<words a >", [] {
    pressKey(key::CtrlDown);
    typeKeys("\r");
  });
  after("<beep>", [] { pressKey(key::Up); });
  after("<words B >", [] { typeKeys("\x1B"); });
  runForm(true);
  EXPECT_EQ(heardCount("<beep>"), 1);
}

TEST_F(Form, F9OffersTheAllowedValues) {
  std::string voice = "Olira";
  setFormLabelWidth(10);
  moveCursor(1, 5);
  beginForm();
  addChoiceField("", "Voz", voice, "Olira|Espeak|Nenhuma", 10);
  after("<words Olira >", [] { pressKey(key::F9); });   // the field's value said
  after("<words Olira >", [] {                          // the menu's first entry
    pressKey(key::Down);
    typeKeys("\r");
  });
  after("<words Espeak >", [] { typeKeys("\x1B"); });   // the field again
  runForm(true);
  setFormLabelWidth(28);
  EXPECT_EQ(voice, "Espeak");
}

TEST_F(MarkingList, StarAndSlashMarkAndUnmarkEverything) {
  openList(1, 2, 40, 4);
  for (const char* t : {"um", "dois", "tres"}) addListEntry(t);
  typeKeys("*");
  after("<beep>", [] { typeKeys("\r"); });   // the current entry is said marked
  ListResult r = runList(2, false);
  EXPECT_EQ(r.key, key::Enter);
  EXPECT_EQ(r.index, 2);
  EXPECT_TRUE(r.inside);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(listEntry(i).mark, 1) << i;
  typeKeys("/ ");   // unmark all, then mark the current one
  after("<beep>", [] { typeKeys("\r"); });
  r = runList(3, false);
  EXPECT_EQ(listEntry(1).mark, 0);
  EXPECT_EQ(listEntry(3).mark, 1);
  EXPECT_EQ(listEntry(4).text, "");
}

TEST_F(MarkingList, ShiftDownOverThreeEntriesMarksThemAllTheFirstWithABeep) {
  openList(1, 2, 40, 6);
  for (const char* t : {"um", "dois", "tres", "quatro"}) addListEntry(t);
  pressKey(key::Down, kShift);
  after("<beep>", [] {});                              // the first, marked
  after("<beep>", [] { pressKey(key::Down, kShift); });  // "dois" said as marked
  after("<beep>", [] { typeKeys("x"); });              // "tres" said as marked
  ListResult r = runList(1, false);
  EXPECT_EQ(r.key, 'x');
  EXPECT_EQ(r.index, 3);
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(listEntry(i).mark, 1) << i;
  EXPECT_EQ(listEntry(4).mark, 0);
  EXPECT_EQ(screenAttribute(1, 2) & 0x0F, 2);   // marked rows green
  EXPECT_EQ(screenAttribute(1, 4), 0x20);       // the current one in inverse video
}

TEST_F(MarkingList, EndsOnFunctionKeysAndRefusesToPassTheEnds) {
  openList(1, 1, 20, 2);
  for (const char* t : {"a", "b", "c"}) addListEntry(t);
  pressKey(key::PageDown);
  after("<beep>", [] { pressKey(key::F2); });
  ListResult r = runList(1, true);
  EXPECT_EQ(r.extended, key::F2);
  EXPECT_EQ(r.key, 0);
  EXPECT_EQ(r.index, 4);   // past the last entry
  EXPECT_FALSE(r.inside);
}

TEST_F(MarkingList, RefreshChangesWhatIsShownAndSaid) {
  openList(1, 1, 20, 3);
  addListEntry("arquivo");
  setListRefresh([](int index, std::string& shown, std::string& spoken, uint8_t& mark) {
    shown = std::to_string(index) + " " + shown.substr(shown.find_last_of(' ') + 1);
    spoken = "item";
    mark = 1;
  });
  after("<words item >", [] { typeKeys("\r"); });
  runList(1, true);
  EXPECT_EQ(screenRow(1), "1 arquivo");
  EXPECT_EQ(listEntry(1).mark, 1);
  EXPECT_EQ(heardCount("<beep>"), 1);   // a marked entry is said after a beep
}

}  // namespace
}  // namespace varlo::test
