// AJUDA: the shipped manual covers the language, sections are found by
// name and shown in the viewer, which leaves the screen as it found it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "base/config.h"
#include "console/console_front_end.h"
#include "speech/speech.h"
#include "script_fixture.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

std::vector<std::string>& spoken() {
  static std::vector<std::string> words;
  return words;
}

void hearWords(SoundEvent event, std::string_view detail) {
  if (event == SoundEvent::words) spoken().push_back(cp1252ToUtf8(detail));
}

// Keys typed one at a time, each only once a key read waits for it (so
// that nothing said before is cut short), with the screen seen then.
struct Typist {
  std::vector<std::pair<bool, uint8_t>> keys;  // extended?, code
  std::vector<std::string> screens;
};
Typist& typist() {
  static Typist t;
  return t;
}

void typeNextKey() {
  Typist& t = typist();
  if (!caretWanted() || queuedKeyCount() > 0 || t.keys.empty()) return;
  t.screens.push_back(cp1252ToUtf8(screenDump()));
  auto [extended, code] = t.keys.front();
  t.keys.erase(t.keys.begin());
  if (extended) injectExtendedKey(code);
  else injectKeys(std::string(1, char(code)));
}

class HelpTest : public test::ScriptTest {
 protected:
  fs::path suite = fs::temp_directory_path() / ("varlo-help-" + std::to_string(getpid()));
  std::string savedSuite;

  void SetUp() override {
    test::ScriptTest::SetUp();
    const char* env = std::getenv("VARLO_SUITE");
    savedSuite = env ? env : "";
    fs::create_directories(suite / "manual");
    setenv("VARLO_SUITE", suite.c_str(), 1);
    reloadSettings();
    flushKeyQueue();
    spoken().clear();
    setSoundListener(hearWords);
    typist() = Typist{};
    setPumpHook(PumpHook::media, typeNextKey);
  }

  void TearDown() override {
    setSoundListener(nullptr);
    setPumpHook(PumpHook::media, nullptr);
    if (savedSuite.empty()) unsetenv("VARLO_SUITE");
    else setenv("VARLO_SUITE", savedSuite.c_str(), 1);
    reloadSettings();
    fs::remove_all(suite);
    test::ScriptTest::TearDown();
  }

  void type(std::initializer_list<std::pair<bool, uint8_t>> keys) { typist().keys = keys; }

  void writeManual(const std::string& text) { std::ofstream(suite / "manual" / "sc.txt") << text; }

  bool said(const std::string& text) {
    for (const std::string& w : spoken()) {
      if (w.find(text) != std::string::npos) return true;
    }
    return false;
  }

  std::string error(const std::string& message) {
    return "Erro no script TESTE.SCR, linha 1:\n" + message + "\n";
  }
};

TEST_F(HelpTest, TheShippedManualCoversEveryCommandAndFunctionWithinTheScreen) {
  fs::path manual = fs::path(__FILE__).parent_path() / "../../data/manual/sc.txt";
  std::ifstream in(manual);
  ASSERT_TRUE(in) << manual;
  std::set<std::string> sections;
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, 3, "== ") == 0) sections.insert(line.substr(3, line.find(' ', 3) - 3));
    std::string text = utf8ToCp1252(line);
    size_t width = 0;
    for (char c : text) width = c == '\t' ? width + 4 - width % 4 : width + 1;
    EXPECT_LE(width, 79u) << line;
  }
  for (const std::string& name : commandNames()) EXPECT_TRUE(sections.count(name)) << name;
  for (size_t i = 0; i < kBuiltinImplCount; ++i) EXPECT_TRUE(sections.count(kBuiltinImpls[i].name)) << kBuiltinImpls[i].name;
}

TEST_F(HelpTest, ASectionIsShownAndSpokenLineByLineAndTheScreenComesBack) {
  writeManual("intro\n== SOMA Soma ao valor\nForma:\tSOMA var n\n\n== LE Lê\nxyzzy\n");
  clearWindow();
  writeText("antes da ajuda");
  std::string before = screenDump();
  type({{true, key::Down}, {true, key::Down}, {true, key::Down}, {false, key::Esc}});
  EXPECT_EQ(output("AJUDA soma\n"), "");
  EXPECT_EQ(screenDump(), before);
  ASSERT_EQ(typist().screens.size(), 4u);
  const std::string& first = typist().screens[0];
  EXPECT_EQ(first.substr(0, first.find('\n')), "SOMA Soma ao valor");
  // Tabs are expanded; the blank line before the next section is dropped.
  EXPECT_NE(first.find("Forma:  SOMA var n"), std::string::npos) << first;
  EXPECT_EQ(first.find("xyzzy"), std::string::npos) << first;
  EXPECT_TRUE(said("SOMA Soma ao valor"));
  EXPECT_TRUE(said("Forma"));
  EXPECT_FALSE(said("xyzzy"));
}

TEST_F(HelpTest, AccentedNamesAreFoundUnaccented) {
  writeManual("== LÊ Lê uma linha\ntexto\n");
  type({{false, key::Esc}});
  EXPECT_EQ(output("HELP lê\n"), "");
  EXPECT_TRUE(said("uma linha"));
}

TEST_F(HelpTest, WithoutANameTheSectionIsChosenFromAMenu) {
  writeManual("== ABRE Abre\na\n== FECHA Fecha\nfecha o descritor\n");
  type({{true, key::Down}, {false, key::Enter}, {false, key::Esc}});
  EXPECT_EQ(output("AJUDA\n"), "Escolha o item para obter ajuda:\n");
  EXPECT_TRUE(said("FECHA Fecha"));
}

TEST_F(HelpTest, MissingManualsSectionsAndNames) {
  EXPECT_EQ(output("AJUDA SOMA\n"), error("Manual não encontrado"));
  writeManual("== SOMA Soma\n");
  EXPECT_EQ(output("AJUDA NADA\n"), error("Ajuda não encontrada para o comando NADA"));
  EXPECT_EQ(output("AJUDA 12\n"), error("Esperava o nome de um comando"));
}

}  // namespace
}  // namespace varlo
