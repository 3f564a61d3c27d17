// Ctrl+C: copying the project to the directory the user types.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/config.h"
#include "console/console.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "shell/app_state.h"
#include "shell/menu_options.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

class CopyOption : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varlo-copy-XXXXXX").string();
    root = mkdtemp(pattern.data());
    project = root / "projeto";
    fs::create_directories(project / "WAVMP3");
    std::ofstream(project / "livro.txt") << "texto\n";
    std::ofstream(project / "WAVMP3" / "livro.mp3") << "som";
    fs::create_directories(root / "murena");
    std::ofstream(root / "murena" / "Murena.ini") << "[TRADUTOR]\nSAPI=NAO\n[MURENA]\nLEGADO=NAO\n";
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    reloadSettings();
    start = fs::current_path();
    fs::current_path(project);
    openConsole();
    initSpeech(0, "");
    appState() = AppState{};
    appState().projectDirectory = project.string();
  }
  void TearDown() override {
    shutdownSpeech();
    fs::current_path(start);
    fs::remove_all(root);
  }
  std::string copyTo(const std::string& typed) {
    clearWindow();
    flushKeyQueue();
    injectKeys(typed + "\r");
    copyProjectOption();
    return screenDump();
  }
  fs::path root, project, start;
};

}  // namespace

TEST_F(CopyOption, MissingParentsAreMadeAndTheProjectIsRestored) {
  std::string screen = copyTo((root / "backup" / "2024" / "livros").string());
  EXPECT_NE(screen.find(utf8ToCp1252("Cópia concluída")), std::string::npos) << screen;
  EXPECT_TRUE(fs::exists(root / "backup" / "2024" / "livros" / "WAVMP3" / "livro.mp3"));
  EXPECT_EQ(fs::current_path(), project);
}

TEST_F(CopyOption, ATargetInsideTheProjectIsRefusedWithoutMakingIt) {
  std::string screen = copyTo("copia");   // relative: inside the project
  EXPECT_NE(screen.find("dentro do projeto"), std::string::npos) << screen;
  EXPECT_FALSE(fs::exists(project / "copia"));
  EXPECT_EQ(fs::current_path(), project);
}
