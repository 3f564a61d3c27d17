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

namespace {

// A project and a settings directory of the test's own; the editor is a
// script that writes what it received into the file "recebido".
class EditorOption : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varlo-edit-XXXXXX").string();
    root = mkdtemp(pattern.data());
    project = root / "projeto";
    fs::create_directories(project);
    fs::create_directories(root / "murena");
    start = fs::current_path();
  }
  void TearDown() override {
    shutdownSpeech();
    fs::current_path(start);
    fs::remove_all(root);
  }
  // The editor program at `path` running `script`, named in the settings by
  // `setting` (the EDITOR value); the program then starts in the project.
  void configure(const fs::path& path, const std::string& script, const std::string& setting) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << "#!/bin/sh\n" << script << " > " << (root / "recebido").string() << "\n";
    fs::permissions(path, fs::perms::owner_all);
    std::ofstream(root / "murena" / "Murena.ini")
        << "[TRADUTOR]\nSAPI=NAO\n[MURENA]\nLEGADO=NAO\nTEMPOESPERAPROGVOLTAR=0\nEDITOR=" << setting
        << "\n";
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    reloadSettings();
    fs::current_path(project);
    openConsole();
    initSpeech(0, "");
    appState() = AppState{};
    flushKeyQueue();
  }
  std::string received() const {
    std::ifstream in(root / "recebido");
    std::string line;
    std::getline(in, line);
    return line;
  }
  fs::path root, project, start;
};

}  // namespace

// The editor gets a name it cannot mistake for an option, and a text it
// wrote into an empty project joins the selection.
TEST_F(EditorOption, FileIsHandedToTheEditorAndNewTextsAreSelected) {
  fs::path editor = root / "editor";
  configure(editor, "printf '%s' \"$1\"", editor.string());
  // The editor also writes the file it was given.
  std::ofstream(editor, std::ios::app) << "echo novo > \"$1\"\n";
  AppState& s = appState();
  s.noTextFiles = s.noPartFiles = true;   // the project was empty at the start
  injectKeys("-nota.txt\r");
  editWithSuiteEditor();
  EXPECT_EQ(received(), "./-nota.txt") << screenDump();
  EXPECT_EQ(s.selection, std::vector<std::string>{"-nota.txt"});
  EXPECT_FALSE(s.noTextFiles);
}

// An editor configured with its own options, its path quoted for its blanks,
// gets them before the file instead of failing as one long program name.
TEST_F(EditorOption, AConfiguredEditorKeepsItsOptions) {
  fs::path editor = root / "meus programas" / "editor";
  configure(editor, "printf '%s|' \"$@\"", "\"" + editor.string() + "\" -w --novo");
  std::ofstream(project / "livro.txt") << "texto\n";
  injectKeys("livro.txt\r");
  editWithSuiteEditor();
  EXPECT_EQ(received(), "-w|--novo|livro.txt|") << screenDump();
}

// The hand-off is said before the editor takes the terminal, and the return
// after it; an editor that cannot start is said instead of a return.
TEST_F(EditorOption, TheHandOffAndTheReturnAreSaid) {
  fs::path editor = root / "editor";
  configure(editor, "printf '%s' \"$1\"", editor.string());
  std::ofstream(project / "livro.txt") << "texto\n";
  injectKeys("livro.txt\r");
  editWithSuiteEditor();
  std::string screen = screenDump();
  size_t opening = screen.find("Abrindo o editor com livro.txt; ao sair dele");
  EXPECT_NE(opening, std::string::npos) << screen;
  EXPECT_NE(screen.find("De volta ao VARLO", opening), std::string::npos) << screen;
}

TEST_F(EditorOption, AnEditorThatCannotStartIsSaidWithoutAReturn) {
  configure(root / "outro", "true", (root / "nao-existe").string());
  std::ofstream(project / "livro.txt") << "texto\n";
  injectKeys("livro.txt\r");
  editWithSuiteEditor();
  std::string screen = screenDump();
  EXPECT_NE(screen.find("consegui abrir o programa"), std::string::npos) << screen;
  EXPECT_EQ(screen.find("De volta ao VARLO", screen.find("consegui abrir")), std::string::npos) << screen;
}
