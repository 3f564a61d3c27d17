// Dividing a text file of the project into part files: by lines without a
// question (the command-line job), through the dialog, and the texts that
// must be refused without touching the parts of an earlier division.
#include "shell/text_division_dialog.h"

#include <sys/resource.h>

#include <csignal>

#include "conversion_fixture.h"
#include "base/codepage.h"

namespace varlo::test {
namespace {

std::string numberedLines(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) text += "linha " + std::to_string(i) + "\n";
  return text;
}

int countLines(const std::string& text) { return int(std::count(text.begin(), text.end(), '\n')); }

class Division : public ConversionFixture {
 protected:
  void SetUp() override {
    ConversionFixture::SetUp();
    appState().writeHeader = "SIM";
    writeBytes(project / "VELHO_001.PAR", "parte antiga\n");
  }

  std::string divideByLines(const std::string& name, int lines) {
    AppState& s = appState();
    s.commandLineMode = true;
    s.selection = {name};
    s.linesPerPart = lines;
    clearWindow();
    divideFile();
    return screenDump();
  }

  // The dialog, answered by the keys.
  std::string divideAnswering(const std::string& keys) {
    AppState& s = appState();
    s.commandLineMode = false;
    clearWindow();
    flushKeyQueue();
    injectKeys(keys);
    divideFile();
    return screenDump();
  }
};

TEST_F(Division, ByLinesWritesNumberedPartsAndSelectsThem) {
  writeBytes(project / "LIVRO.TXT", numberedLines(250));
  std::string screen = divideByLines("LIVRO.TXT", 100);
  EXPECT_NE(screen.find(utf8ToCp1252("A divisão foi feita com sucesso")), std::string::npos);
  // The batch job cannot ask: another text's parts stay, and are not selected.
  EXPECT_EQ(readBytes(project / "VELHO_001.PAR"), "parte antiga\n");
  std::string first = readBytes(project / "LIVRO_001.PAR");
  std::string last = readBytes(project / "LIVRO_003.PAR");
  EXPECT_EQ(first.substr(0, 16), "LIVRO 1\n\nlinha 1");
  EXPECT_EQ(countLines(first), 2 + 100 + 2);
  EXPECT_EQ(countLines(last), 2 + 50 + 2);
  EXPECT_NE(last.find("linha 250\n\nFinal da parte 3\n"), std::string::npos);
  EXPECT_FALSE(fs::exists(project / "LIVRO_004.PAR"));
  AppState& s = appState();
  std::vector<std::string> parts = s.selection;
  std::sort(parts.begin(), parts.end());
  EXPECT_EQ(parts, (std::vector<std::string>{"LIVRO_001.PAR", "LIVRO_002.PAR", "LIVRO_003.PAR"}));
  EXPECT_EQ(s.audioSubdirectory, "LIVRO");
  EXPECT_FALSE(s.noPartFiles);
  EXPECT_EQ(readBytes(project / "LIVRO.TXT"), numberedLines(250));
}

TEST_F(Division, RefusedTextsKeepTheOldPartsAndAreExplained) {
  writeBytes(project / "vazio.txt", "\n  \n");
  writeBytes(project / "binario.txt", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  writeBytes(project / "enorme.txt", numberedLines(1000));
  std::string screen = divideByLines("vazio.txt", 100);
  EXPECT_NE(screen.find(utf8ToCp1252("O arquivo está vazio")), std::string::npos) << screen;
  screen = divideByLines("binario.txt", 100);
  EXPECT_NE(screen.find(utf8ToCp1252("não é um texto")), std::string::npos) << screen;
  screen = divideByLines("enorme.txt", 1);  // 1000 parts: one too many
  EXPECT_NE(screen.find(utf8ToCp1252("excedeu o limite")), std::string::npos) << screen;
  fs::create_directories(project / "pasta.txt");
  screen = divideByLines("pasta.txt", 100);   // a directory: refused, not a crash
  EXPECT_NE(screen.find("Problemas na abertura do arquivo de texto"), std::string::npos) << screen;
  screen = divideByLines("sumiu.txt", 100);
  EXPECT_NE(screen.find("Problemas na abertura do arquivo de texto"), std::string::npos) << screen;
  EXPECT_NE(screen.find(utf8ToCp1252("A operação de dividir foi cancelada")), std::string::npos);
  EXPECT_EQ(readBytes(project / "VELHO_001.PAR"), "parte antiga\n");
  EXPECT_FALSE(fs::exists(project / "vazio_001.PAR"));
  EXPECT_FALSE(fs::exists(project / "enorm_001.PAR"));
  EXPECT_EQ(readBytes(project / "binario.txt").size(), 16u);
}

// A part that cannot be written (a full disk, here a file size limit) is
// named before the cancellation.
TEST_F(Division, PartThatCannotBeWrittenIsNamed) {
  writeBytes(project / "LIVRO.TXT", numberedLines(250));
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 200;
  setrlimit(RLIMIT_FSIZE, &small);
  std::string screen = divideByLines("LIVRO.TXT", 100);
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_NE(screen.find(utf8ToCp1252("Não consegui gravar a parte LIVRO_001.PAR")), std::string::npos)
      << screen;
  EXPECT_NE(screen.find(utf8ToCp1252("A operação de dividir foi cancelada")), std::string::npos);
  EXPECT_FALSE(fs::exists(project / "LIVRO_001.PAR"));   // not left half-written
}

TEST_F(Division, Utf8TextKeepsItsCodePageInHeaderAndPartNames) {
  writeBytes(project / "Can\xC3\xA7\xC3\xA3o.txt", "Primeira estrofe, cora\xC3\xA7\xC3\xA3o.\n");
  divideByLines("Can\xC3\xA7\xC3\xA3o.txt", 100);
  fs::path part = project / "Can\xC3\xA7\xC3\xA3_001.PAR";  // five letters: "Cançã"
  ASSERT_TRUE(fs::exists(part));
  EXPECT_EQ(readBytes(part), "Can\xC3\xA7\xC3\xA3o 1\n\nPrimeira estrofe, cora\xC3\xA7\xC3\xA3o.\n\n"
                             "Final da parte 1\n");
}

TEST_F(Division, DialogDividesAtTheTypedMark) {
  writeBytes(project / "contos.txt", "um\n***\ndois\n  ***  \ntres\n***\n");
  std::string screen = divideAnswering("contos.txt\rM***\rn");   // VELHO_001.PAR stays
  EXPECT_NE(screen.find(utf8ToCp1252("A divisão foi feita com sucesso")), std::string::npos)
      << screen;
  // The chosen name is shown once, where it was chosen.
  EXPECT_EQ(screen.find("contos.txt"), screen.rfind("contos.txt")) << screen;
  EXPECT_TRUE(fs::exists(project / "conto_003.PAR"));
  EXPECT_FALSE(fs::exists(project / "conto_004.PAR"));
  EXPECT_EQ(readBytes(project / "conto_002.PAR"), "contos 2\n\ndois\n\nFinal da parte 2\n");
}

TEST_F(Division, DialogGivenUpKeepsTheOldParts) {
  writeBytes(project / "contos.txt", "um\n");
  std::string screen = divideAnswering("contos.txt\r\x1b");
  EXPECT_NE(screen.find(utf8ToCp1252("A operação de dividir foi cancelada")), std::string::npos)
      << screen;
  screen = divideAnswering("contos.txt\rL0\r");
  EXPECT_NE(screen.find(utf8ToCp1252("A operação de dividir foi cancelada")), std::string::npos);
  screen = divideAnswering("contos.txt\rX");
  EXPECT_NE(screen.find(utf8ToCp1252("Você indicou uma letra inválida")), std::string::npos);
  EXPECT_EQ(readBytes(project / "VELHO_001.PAR"), "parte antiga\n");
  EXPECT_FALSE(fs::exists(project / "conto_001.PAR"));
}

// Another book's parts may have been edited by hand: the user hears how many
// there are and decides; the text's own old parts always go.
TEST_F(Division, OtherTextsPartsGoOnlyWhenTheUserSaysSo) {
  writeBytes(project / "VELHO_002.PAR", "parte antiga\n");
  writeBytes(project / "contos.txt", "um\ndois\n");
  writeBytes(project / "conto_009.PAR", "de uma divisão anterior\n");
  std::string screen = divideAnswering("contos.txt\rL1\rn");
  EXPECT_NE(screen.find(utf8ToCp1252("Este projeto tem 2 partes de outros textos.")), std::string::npos)
      << screen;
  EXPECT_NE(screen.find(utf8ToCp1252("Apagar também essas partes (sim ou não) ? n\n")), std::string::npos);
  EXPECT_FALSE(fs::exists(project / "conto_009.PAR"));
  EXPECT_TRUE(fs::exists(project / "VELHO_001.PAR"));
  EXPECT_TRUE(fs::exists(project / "VELHO_002.PAR"));
  std::vector<std::string> parts = appState().selection;
  std::sort(parts.begin(), parts.end());
  EXPECT_EQ(parts, (std::vector<std::string>{"conto_001.PAR", "conto_002.PAR"}));

  screen = divideAnswering("contos.txt\rL1\r\x1b");   // Esc: nothing removed
  EXPECT_NE(screen.find(utf8ToCp1252("A operação de dividir foi cancelada")), std::string::npos);
  EXPECT_TRUE(fs::exists(project / "conto_002.PAR"));
  EXPECT_TRUE(fs::exists(project / "VELHO_002.PAR"));

  divideAnswering("contos.txt\rL2\rS");
  EXPECT_FALSE(fs::exists(project / "VELHO_001.PAR"));
  EXPECT_FALSE(fs::exists(project / "VELHO_002.PAR"));
  EXPECT_FALSE(fs::exists(project / "conto_002.PAR"));
  EXPECT_EQ(appState().selection, std::vector<std::string>{"conto_001.PAR"});
}

}  // namespace
}  // namespace varlo::test
