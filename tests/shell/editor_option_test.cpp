// Option F: the chosen file handed to the configured editor.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/config.h"
#include "console/console.h"
#include "speech/speech.h"
#include "shell/app_state.h"
#include "shell/menu_options.h"

using namespace varlo;
namespace fs = std::filesystem;

// The editor gets a name it cannot mistake for an option, and a text it
// wrote into an empty project joins the selection.
TEST(EditorOption, FileIsHandedToTheEditorAndNewTextsAreSelected) {
  std::string pattern = (fs::temp_directory_path() / "varlo-edit-XXXXXX").string();
  fs::path root = mkdtemp(pattern.data());
  fs::path project = root / "projeto";
  fs::create_directories(project);
  fs::create_directories(root / "murena");
  fs::path editor = root / "editor";
  std::ofstream(editor) << "#!/bin/sh\nprintf '%s' \"$1\" > " << (root / "recebido").string()
                        << "\necho novo > \"$1\"\n";
  fs::permissions(editor, fs::perms::owner_all);
  std::ofstream(root / "murena" / "Murena.ini")
      << "[TRADUTOR]\nSAPI=NAO\n[MURENA]\nLEGADO=NAO\nTEMPOESPERAPROGVOLTAR=0\nEDITOR=" << editor.string()
      << "\n";
  setenv("XDG_CONFIG_HOME", root.c_str(), 1);
  reloadSettings();
  fs::path start = fs::current_path();
  fs::current_path(project);
  openConsole();
  initSpeech(0, "");
  AppState& s = appState();
  s = AppState{};
  s.noTextFiles = s.noPartFiles = true;   // the project was empty at the start
  flushKeyQueue();
  injectKeys("-nota.txt\r");
  editWithSuiteEditor();
  std::ifstream in(root / "recebido");
  std::string received;
  std::getline(in, received);
  EXPECT_EQ(received, "./-nota.txt") << screenDump();
  EXPECT_EQ(s.selection, std::vector<std::string>{"-nota.txt"});
  EXPECT_FALSE(s.noTextFiles);
  shutdownSpeech();
  fs::current_path(start);
  fs::remove_all(root);
}

// An editor configured with its own options, its path quoted for its blanks,
// gets them before the file instead of failing as one long program name.
TEST(EditorOption, AConfiguredEditorKeepsItsOptions) {
  std::string pattern = (fs::temp_directory_path() / "varlo-edit-XXXXXX").string();
  fs::path root = mkdtemp(pattern.data());
  fs::path project = root / "projeto";
  fs::create_directories(project);
  fs::create_directories(root / "murena");
  fs::create_directories(root / "meus programas");
  fs::path editor = root / "meus programas" / "editor";
  std::ofstream(editor) << "#!/bin/sh\nprintf '%s|' \"$@\" > " << (root / "recebido").string() << "\n";
  fs::permissions(editor, fs::perms::owner_all);
  std::ofstream(project / "livro.txt") << "texto\n";
  std::ofstream(root / "murena" / "Murena.ini")
      << "[TRADUTOR]\nSAPI=NAO\n[MURENA]\nLEGADO=NAO\nTEMPOESPERAPROGVOLTAR=0\nEDITOR=\"" << editor.string()
      << "\" -w --novo\n";
  setenv("XDG_CONFIG_HOME", root.c_str(), 1);
  reloadSettings();
  fs::path start = fs::current_path();
  fs::current_path(project);
  openConsole();
  initSpeech(0, "");
  appState() = AppState{};
  flushKeyQueue();
  injectKeys("livro.txt\r");
  editWithSuiteEditor();
  std::ifstream in(root / "recebido");
  std::string received;
  std::getline(in, received);
  EXPECT_EQ(received, "-w|--novo|livro.txt|") << screenDump();
  shutdownSpeech();
  fs::current_path(start);
  fs::remove_all(root);
}
