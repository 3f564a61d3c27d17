// The file chooser driven through the headless console: the list, its keys,
// marks and search, the answers, the screen and the current directory left
// as they were.
#include "widgets/file_chooser.h"

#include <filesystem>
#include <fstream>

#include "editor/editor_fixture.h"

namespace varlo::test {
namespace {

constexpr uint8_t kShift = keymod::shift;

class Chooser : public ConsoleFixture {
 protected:
  fs::path files, before;

  void SetUp() override {
    ConsoleFixture::SetUp();
    files = root / "textos";
    fs::create_directories(files);
    for (const char* n : {"10 - b.txt", "9 - a.txt", "\xC3\x81" "baco.txt", "leia.md"})
      std::ofstream(files / n) << "x";
    before = fs::current_path();
    fs::current_path(files);
  }
  void TearDown() override {
    EXPECT_EQ(fs::current_path(), files) << "the chooser left another directory current";
    fs::current_path(before);
    ConsoleFixture::TearDown();
  }

  // Every name here ends in ".txt": its last word run says "txt".
  static constexpr const char* kSaid = "<words txt >";

  std::string choose(std::string_view pattern) {
    return chooseFile(1, 5, 40, 9, pattern, SortKind::byName, attr::archive);
  }
};

TEST_F(Chooser, EnterAnswersTheCurrentEntryInNameOrder) {
  after(kSaid, [] { pressKey(key::Down); });
  after(kSaid, [] { pressKey(key::Down); });
  after(kSaid, [] { typeKeys("\r"); });
  EXPECT_EQ(choose("*.txt"), "\xC1" "baco.txt");
  // Each entry was said as it became current: 9, 10, Ábaco.
  EXPECT_EQ(heardCount("_nove"), 1);
  EXPECT_EQ(heardCount("_dez"), 1);
  EXPECT_EQ(heardCount("<words \xC1" "baco>"), 1);
}

TEST_F(Chooser, ScreenUnderTheListComesBack) {
  moveCursor(1, 6);
  writeText("linha que estava aqui");
  std::string screen = screenDump();
  typeKeys("\x1B");
  EXPECT_EQ(choose("*.txt"), "");
  EXPECT_EQ(screenDump(), screen);
  EXPECT_EQ(screenAttribute(1, 6), 0x07);
}

TEST_F(Chooser, ListShowsOneEntryPerRowOnBrown) {
  std::string shown;
  after(kSaid, [] { typeKeys("\x1B"); });
  choose("*.txt");
  for (const Heard& h : script().heard)
    if (h.name == kSaid) shown = h.attributes;
  ASSERT_FALSE(shown.empty());
  EXPECT_EQ(screenRow(5), "");   // restored afterwards
  EXPECT_EQ(attributeAt(shown, 2, 5), 0xF6);   // current: inverse video, brown on white
  EXPECT_EQ(attributeAt(shown, 2, 6), 0x6F);   // others: white on brown
}

TEST_F(Chooser, AnotherDirectoryGivesTheFullPathAndIsLeftAgain) {
  fs::create_directories(root / "outra");
  std::ofstream(root / "outra" / "capitulo.txt") << "x";
  typeKeys("\r");
  std::string answer = choose("../outra/");
  EXPECT_EQ(answer, (root / "outra" / "capitulo.txt").string());
  EXPECT_EQ(diskPath(answer), answer);
}

TEST_F(Chooser, LookAlikeNamesOpenTheOneThatWasChosen) {
  fs::create_directories(root / "cjk");
  std::ofstream(root / "cjk" / "\xE6\x97\xA5.txt") << "primeiro";   // 日.txt
  std::ofstream(root / "cjk" / "\xE4\xB8\xAD.txt") << "segundo";    // 中.txt
  fs::current_path(root / "cjk");
  std::vector<TMySearchRec> listed = listEntries("*.txt", attr::archive);
  sortEntries(listed, SortKind::byName);
  ASSERT_EQ(listed.size(), 2u);
  after(kSaid, [] { pressKey(key::Down); });
  after(kSaid, [] { typeKeys("\r"); });
  std::string answer = choose("*.txt");
  EXPECT_EQ(answer, "?.txt");
  EXPECT_EQ(diskPath(answer), (root / "cjk" / listed[1].diskName).string());
  fs::current_path(files);
}

TEST_F(Chooser, NothingToListIsSaidAndAnswersEmpty) {
  EXPECT_EQ(choose("*.pdf"), "");
  EXPECT_EQ(choose("naoexiste/"), "");
  EXPECT_EQ(heardCount("<beep>"), 2);
  fs::create_directories(root / "fechada");
  fs::permissions(root / "fechada", fs::perms::none);
  if (access((root / "fechada").c_str(), R_OK) != 0) {   // not as root
    EXPECT_EQ(choose("../fechada/"), "");
    EXPECT_EQ(heardCount("<beep>"), 3);
  }
  fs::permissions(root / "fechada", fs::perms::owner_all);
}

TEST_F(Chooser, TabAnswersTheTabMarker) {
  typeKeys("\t");
  EXPECT_EQ(choose("*.txt"), "@TAB@");
}

TEST_F(Chooser, MovingPastTheEndsBeepsAndEnterThereChoosesNothing) {
  pressKey(key::Up);
  after("<beep>", [] { typeKeys("\r"); });
  EXPECT_EQ(choose("*.txt"), "");
}

TEST_F(Chooser, ShiftEndMarksFromTheCurrentEntryWithABeep) {
  after(kSaid, [] { pressKey(key::Down); });
  after(kSaid, [] { pressKey(key::End, kShift); });
  after(kSaid, [] { pressKey(key::Up); });
  after(kSaid, [] { typeKeys("\x1B"); });
  choose("*.txt");
  std::string shown = script().heard.back().attributes;
  EXPECT_EQ(attributeAt(shown, 2, 5), 0x6F);   // the first entry stays unmarked
  EXPECT_EQ(attributeAt(shown, 2, 6), 0x26);   // current (marked): brown on green
  EXPECT_EQ(attributeAt(shown, 2, 7), 0x62);   // marked: green
  // Shift+End, then each marked entry said after a beep.
  EXPECT_EQ(heardCount("<beep>"), 3);
}

TEST_F(Chooser, SearchFindsALaterNameOrSaysItWasNotFound) {
  pressKey(key::F5);
  after("_BUSCAR", [] { typeKeys("ab\r"); });
  after("_ACHEI", [] { pressKey(key::F5); });
  after("_BUSCAR", [] { typeKeys("zz\r"); });
  after("_NAOACH", [] { pressKey(key::F5, kShift); });   // containing
  after("_BUSCAR", [] { typeKeys(" - \r"); });   // no later name holds it
  after("_NAOACH", [] { typeKeys("\r"); });
  EXPECT_EQ(choose("*.txt"), "\xC1" "baco.txt");   // folded: ABACO
}

TEST_F(Chooser, RightSpellsTheName) {
  after(kSaid, [] { pressKey(key::Right); });
  after("_116", [] {});                        // the first t of "9 - a.txt"
  after("_116", [] { typeKeys("\x1B"); });   // its last letter
  choose("*.txt");
  EXPECT_EQ(heardCount(letter('9')), 1);
  EXPECT_EQ(heardCount(letter('x')), 1);
}

TEST_F(Chooser, AskFileNameGoesThroughTheListAndBack) {
  typeKeys("*.md");
  pressKey(key::Down);
  typeKeys("\t");   // back to the field from the list, with two clicks
  after("<click>", [] {});
  after("<click>", [] {
    typeKeys("../");
    pressKey(key::Down);
  });
  // The list of the parent offers no plain file matching "*.*" but the
  // directory; Esc leaves the dialogue.
  after("<beep>", [] { typeKeys("\x1B"); });
  std::string answer = askFileName(5, "*.*");
  EXPECT_EQ(answer, "");
  EXPECT_EQ(heardCount("<click>"), 2);
}

// Enter with no entry current gives the dialogue up, as Esc does, so that
// the caller says so; the keys typed after it are not taken as a name.
TEST_F(Chooser, AskFileNameGivesUpAtEnterBeyondTheFirstEntry) {
  pressKey(key::Down);
  after(kSaid, [] { pressKey(key::Up); });
  after("<beep>", [] { typeKeys("\rlixo\r"); });
  EXPECT_EQ(askFileName(5, "*.txt"), "");
}

TEST_F(Chooser, AskFileNameJoinsTheTypedDirectoryAndTheChosenName) {
  typeKeys("");
  pressKey(key::Down);
  after(kSaid, [] { typeKeys("\r"); });
  EXPECT_EQ(askFileName(5, "9*"), "9 - a.txt");

  typeKeys("meu arquivo.txt\r");
  EXPECT_EQ(askFileName(5, "*.*"), "meu arquivo.txt");
}

TEST_F(Chooser, FiveThousandFilesSortByNumber) {
  fs::create_directories(root / "muitos");
  for (int i = 1; i <= 5000; ++i) std::ofstream(root / "muitos" / (std::to_string(i) + ".txt"));
  fs::current_path(root / "muitos");
  pressKey(key::End);
  after(kSaid, [] { typeKeys("\r"); });
  std::string answer = choose("*.txt");
  fs::current_path(files);
  EXPECT_EQ(answer, "5000.txt");
}

}  // namespace
}  // namespace varlo::test
