// Option T: reading a text of the project aloud.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/config.h"
#include "console/console.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "shell/app_state.h"
#include "shell/settings_dialog.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

class TextReading : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "varlo-read-XXXXXX").string();
    root = mkdtemp(pattern.data());
    fs::create_directories(root / "murena");
    std::ofstream(root / "murena" / "Murena.ini") << "[TRADUTOR]\nSAPI=NAO\n[MURENA]\nLEGADO=NAO\n";
    setenv("XDG_CONFIG_HOME", root.c_str(), 1);
    reloadSettings();
    start = fs::current_path();
    fs::current_path(root);
    openConsole();
    initSpeech(0, "");
    AppState& s = appState();
    s = AppState{};
    s.useSapi = true;   // the voice is not loaded from the settings
  }
  void TearDown() override {
    shutdownSpeech();
    fs::current_path(start);
    fs::remove_all(root);
  }
  // Option T answered by the keys; the screen afterwards.
  std::string readAnswering(const std::string& keys) {
    clearWindow();
    flushKeyQueue();
    injectKeys(keys);
    voiceTest();
    return screenDump();
  }
  fs::path root, start;
};

}  // namespace

TEST_F(TextReading, ABinaryFileIsRefusedAndATextIsRead) {
  std::ofstream(root / "imagem.txt", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
  std::ofstream(root / "livro.txt") << "Bom dia.\r\nBoa noite.\r\n";
  std::string screen = readAnswering("imagem.txt\r");
  EXPECT_NE(screen.find(utf8ToCp1252("imagem.txt não é um texto")), std::string::npos) << screen;
  screen = readAnswering("livro.txt\r");
  EXPECT_EQ(screen.find(utf8ToCp1252("não é um texto")), std::string::npos) << screen;
  EXPECT_NE(screen.find("OK"), std::string::npos) << screen;
  screen = readAnswering("sumiu.txt\r");
  EXPECT_NE(screen.find("Problemas na abertura do arquivo de texto"), std::string::npos) << screen;
}

// Names that are not plain files: a directory (which made the program
// abort) and a named pipe (which would wait for a writer forever).
TEST_F(TextReading, NamesThatAreNotFilesAreRefused) {
  fs::create_directories(root / "pasta");
  ASSERT_EQ(mkfifo((root / "fila.txt").c_str(), 0600), 0);
  for (const char* keys : {"pasta\r", "fila.txt\r"}) {
    std::string screen = readAnswering(keys);
    EXPECT_NE(screen.find("Problemas na abertura do arquivo de texto"), std::string::npos) << screen;
  }
}
