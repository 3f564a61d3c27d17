// Filling the selection from the project directory.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "console/console.h"
#include "speech/speech.h"
#include "shell/app_state.h"
#include "shell/project.h"
#include "shell/project_options.h"

using namespace varlo;
namespace fs = std::filesystem;

// A directory with more texts than the selection holds: the selection is
// full and the user hears how many were left out.
TEST(Selection, TextsBeyondTheLimitAreCountedAloud) {
  std::string pattern = (fs::temp_directory_path() / "varlo-sel-XXXXXX").string();
  fs::path project = mkdtemp(pattern.data());
  for (int i = 1; i <= kMaxSelection + 12; ++i)
    std::ofstream(project / ("t" + std::to_string(i) + ".txt")) << "texto\n";
  std::ofstream(project / "parte.PAR") << "parte\n";
  fs::path start = fs::current_path();
  fs::current_path(project);
  openConsole();
  clearWindow();
  AppState& s = appState();
  s.noTextFiles = s.noPartFiles = false;
  EXPECT_TRUE(listByKind('T'));
  std::string screen = screenDump();
  EXPECT_EQ(s.selection.size(), size_t(kMaxSelection));
  EXPECT_NE(screen.find("ficaram de fora: 12"), std::string::npos) << screen;
  // The ones kept are the first by name, numbers in order.
  EXPECT_EQ(s.selection.front(), "t1.txt");
  EXPECT_EQ(s.selection.back(), "t" + std::to_string(kMaxSelection) + ".txt");
  clearWindow();
  EXPECT_TRUE(listByKind('P'));
  EXPECT_EQ(s.selection.size(), 1u);
  EXPECT_EQ(screenDump().find("ficaram de fora"), std::string::npos);
  fs::current_path(start);
  fs::remove_all(project);
}

// A project that held nothing at the start: texts copied in later are
// listed by option L and can be taken into the selection with option M.
TEST(Selection, TextsAddedToAnEmptyProjectCanBeInserted) {
  std::string pattern = (fs::temp_directory_path() / "varlo-sel-XXXXXX").string();
  fs::path project = mkdtemp(pattern.data());
  fs::path start = fs::current_path();
  fs::current_path(project);
  openConsole();
  AppState& s = appState();
  s.noTextFiles = s.noPartFiles = false;
  s.selection.clear();
  if (!listByKind('P')) s.noPartFiles = true;
  if (!listByKind('T')) s.noTextFiles = true;
  std::ofstream(project / "livro.txt") << "texto\n";
  clearWindow();
  flushKeyQueue();
  EXPECT_TRUE(listSelection()) << screenDump();
  EXPECT_EQ(s.selection, std::vector<std::string>{"livro.txt"});
  s.selection.clear();
  s.noTextFiles = s.noPartFiles = true;
  injectKeys("IT");
  modifySelection();
  EXPECT_EQ(s.selection, std::vector<std::string>{"livro.txt"}) << screenDump();
  EXPECT_FALSE(s.noTextFiles);
  EXPECT_TRUE(s.noPartFiles);
  fs::current_path(start);
  fs::remove_all(project);
}

// Option M, S near the bottom of the screen: room is made so that every
// selected name shows while the list runs.
int namesShown = 0;
// Whenever something is said, how many of the names are on the screen.
void countNames(SoundEvent, std::string_view) {
  std::string screen = screenDump();
  int shown = 0;
  for (const char* name : {"um.txt", "dois.txt", "tres.txt"})
    shown += screen.find(name) != std::string::npos;
  namesShown = std::max(namesShown, shown);
}

TEST(Selection, ListNearTheBottomShowsEveryName) {
  openConsole();
  AppState& s = appState();
  s.noTextFiles = s.noPartFiles = false;
  s.selection = {"um.txt", "dois.txt", "tres.txt"};
  clearWindow();
  flushKeyQueue();
  moveCursor(1, 24);
  injectKeys("S");   // the list says its first entry; no key left: Esc
  setSoundListener(countNames);
  modifySelection();
  setSoundListener(nullptr);
  EXPECT_EQ(namesShown, 3) << screenDump();
}

// Parts and texts are announced and converted in the order of their names,
// whatever order the file system keeps them in.
TEST(Selection, NamesAreInOrderWithNumbersByValue) {
  std::string pattern = (fs::temp_directory_path() / "varlo-sel-XXXXXX").string();
  fs::path project = mkdtemp(pattern.data());
  for (const char* name : {"livro_008.PAR", "livro_010.PAR", "Livro_001.PAR", "livro_005.PAR", "livro_2.PAR"})
    std::ofstream(project / name) << "parte\n";
  fs::path start = fs::current_path();
  fs::current_path(project);
  openConsole();
  AppState& s = appState();
  s.noTextFiles = s.noPartFiles = false;
  EXPECT_TRUE(listByKind('P'));
  EXPECT_EQ(s.selection, (std::vector<std::string>{"Livro_001.PAR", "livro_2.PAR", "livro_005.PAR",
                                                   "livro_008.PAR", "livro_010.PAR"}));
  fs::current_path(start);
  fs::remove_all(project);
}
