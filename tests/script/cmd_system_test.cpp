// Commands that reach the file system, the clipboard and the encodings:
// what they leave on disk when they work and when they are refused.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "script_fixture.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

class SystemCommandsTest : public test::ScriptTest {
 protected:
  fs::path dir;

  void SetUp() override {
    test::ScriptTest::SetUp();
    std::string pattern = (fs::temp_directory_path() / "varlo-system-XXXXXX").string();
    dir = mkdtemp(pattern.data());
  }
  void TearDown() override {
    test::ScriptTest::TearDown();
    resetInterpreter();
    fs::remove_all(dir);
  }

  std::string path(const std::string& name) { return (dir / name).string(); }

  std::string bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  void write(const std::string& file, const std::string& content) {
    std::ofstream(file, std::ios::binary) << content;
  }

  std::string error(int line, const std::string& message) {
    return "Erro no script TESTE.SCR, linha " + std::to_string(line) + ":\n" + message + "\n";
  }
};

TEST_F(SystemCommandsTest, ReplicaCopiesFiveMegabytesExactly) {
  std::mt19937 random(5);
  std::string content(5 << 20, '\0');
  for (char& c : content) c = char(random());
  write(path("grande.bin"), content);
  write(path("copia.bin"), "conteúdo antigo que será substituído");
  EXPECT_EQ(output("REPLICA \"" + path("grande.bin") + "\" \"" + path("copia.bin") +
                   "\"\nCHECA S\nSAIDA(S)\n"),
            "0\n");
  EXPECT_TRUE(bytes(path("copia.bin")) == content);
  // Nothing of the work is left beside the copy.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

TEST_F(SystemCommandsTest, ReplicaRefusalsLeaveEveryFileAsItWas) {
  write(path("a.txt"), "original");
  fs::create_directory(path("pasta"));
  std::string a = path("a.txt");
  EXPECT_EQ(output("REPLICA \"" + a + "\" \"" + a + "\"\n"),
            error(1, "Erro na escrita do arquivo " + a));
  std::string upper = path("A.TXT");   // the same file, its name in other letters
  EXPECT_EQ(output("REPLICA \"" + a + "\" \"" + upper + "\"\n"),
            error(1, "Erro na escrita do arquivo " + upper));
  EXPECT_EQ(bytes(a), "original");
  EXPECT_EQ(output("REPLICA \"" + a + "\" \"" + path("pasta") + "\"\n"),
            error(1, "Erro na escrita do arquivo " + path("pasta")));
  EXPECT_EQ(output("REPLICA \"" + path("pasta") + "\" \"" + path("b.txt") + "\"\n"),
            error(1, "Erro na leitura do arquivo " + path("pasta")));
  EXPECT_FALSE(fs::exists(path("b.txt")));
  EXPECT_EQ(output("REPLICA \"" + a + "\" \"/nao/existe/b.txt\"\nSAIDA(1)\n"),
            error(1, "Erro na escrita do arquivo /nao/existe/b.txt"));
}

TEST_F(SystemCommandsTest, RenomeiaNeverReplacesAndReportsThroughTheStatus) {
  write(path("a.txt"), "a");
  write(path("b.txt"), "b");
  std::string a = path("a.txt"), b = path("b.txt");
  EXPECT_EQ(output("RENOMEIA \"" + a + "\" \"" + b + "\"\nCHECA S\nSAIDA(S)\n"), "1\n");
  EXPECT_EQ(bytes(a), "a");
  EXPECT_EQ(bytes(b), "b");
  // Across file systems: the shared-memory one is never the temporary one here.
  if (fs::exists("/dev/shm") && fs::space("/dev/shm").capacity != fs::space(dir).capacity) {
    std::string away = "/dev/shm/varlo-rename-" + std::to_string(getpid());
    EXPECT_EQ(output("RENOMEIA \"" + a + "\" \"" + away + "\"\nCHECA S\nSAIDA(S)\n"), "1\n");
    EXPECT_TRUE(fs::exists(a));
    EXPECT_FALSE(fs::exists(away));
  }
  // A backslash reads as a slash; the old name is found whatever its case.
  std::string windows = dir.string() + "\\A.TXT";
  EXPECT_EQ(output("RENOMEIA \"" + windows + "\" \"" + path("c.txt") + "\"\nCHECA S\nSAIDA(S)\n"),
            "0\n");
  EXPECT_EQ(bytes(path("c.txt")), "a");
  EXPECT_EQ(output("RENOMEIA \"" + a + "\"\n"),
            error(1, "Esperava dois nomes de arquivos para o comando RENOMEIA"));
}

TEST_F(SystemCommandsTest, TwoFileNamesWithOrWithoutACommaNeitherEmpty) {
  write(path("a.txt"), "a");
  std::string a = path("a.txt"), b = path("b.txt"), c = path("c.txt");
  EXPECT_EQ(output("REPLICA \"" + a + "\", \"" + b + "\"\nCHECA S\nSAIDA(S)\n"), "0\n");
  EXPECT_EQ(bytes(b), "a");
  EXPECT_EQ(output("RENOMEIA \"" + b + "\", \"" + c + "\"\nCHECA S\nSAIDA(S)\n"), "0\n");
  EXPECT_EQ(bytes(c), "a");
  EXPECT_EQ(output("REPLICA \"" + a + "\" \"\"\n"),
            error(1, "Esperava nomes de arquivos para o comando REPLICA"));
  EXPECT_EQ(output("RENOMEIA \"\", \"" + a + "\"\n"),
            error(1, "Esperava dois nomes de arquivos para o comando RENOMEIA"));
  EXPECT_EQ(bytes(a), "a");
}

TEST_F(SystemCommandsTest, RemoveTakesFilesOnly) {
  fs::create_directory(path("pasta"));
  write(path("a.txt"), "a");
  EXPECT_EQ(output("REMOVE \"" + path("pasta") + "\"\n"),
            error(1, "Erro no apagamento do arquivo " + path("pasta")));
  EXPECT_TRUE(fs::is_directory(path("pasta")));
  EXPECT_EQ(output("REMOVE \"" + path("A.TXT") + "\"\nCHECA S\nSAIDA(S)\n"), "0\n");
  EXPECT_FALSE(fs::exists(path("a.txt")));
  EXPECT_EQ(output("REMOVE \"" + path("a.txt") + "\"\n"),
            error(1, "Erro no apagamento do arquivo " + path("a.txt")));
  EXPECT_EQ(output("REMOVE 3 + 4\n"), error(1, "Erro no apagamento do arquivo 7"));
}

TEST_F(SystemCommandsTest, DirMakesEntersAndRemovesDirectories) {
  fs::path here = fs::current_path();
  std::string sub = path("nova");
  EXPECT_EQ(output("DIR CRIA \"" + sub + "\"\nDIR TROCA \"" + sub + "\"\nBUSCA D\nSAIDA(D)\n"),
            sub + "\n");
  fs::current_path(here);
  EXPECT_EQ(output("DIR CRIA \"" + sub + "\"\n"),
            error(1, "Erro no processamento do diretório " + sub));
  write(sub + "/f", "x");
  EXPECT_EQ(output("DIR REMOVE \"" + sub + "\"\n"),
            error(1, "Erro no processamento do diretório " + sub));
  EXPECT_TRUE(fs::exists(sub + "/f"));
  EXPECT_EQ(output("DIR APAGA \"" + sub + "\"\n"), error(1, "Esperava CRIA, REMOVE ou TROCA"));
}

TEST_F(SystemCommandsTest, BuscaMatchesMasksWithoutRegardToCaseAndRestartsEachSearch) {
  for (const char* name : {"Um.TXT", "dois.txt", "tres.doc"}) write(path(name), "");
  fs::create_directory(path("sub.txt"));
  std::string mask = dir.string() + "\\*.txt";
  EXPECT_EQ(output("BUSCA A \"" + mask + "\"\nBUSCA B PROXIMO\nBUSCA C PROXIMO\nCHECA S\n"
                   "SAIDA(A + \",\" + B + \",\" + C + \",\" + S)\n"
                   "BUSCA D DIR \"" + path("*") + "\"\nBUSCA E PROXIMO\nSAIDA(D + \",\" + E)\n"),
            "Um.TXT,dois.txt,,1\nsub.txt,\n");
  // The search ended with its last name: going on is misuse.
  EXPECT_EQ(output("BUSCA A \"" + path("tres.*") + "\"\nBUSCA A PROXIMO\nBUSCA A PROXIMO\n"),
            error(3, "Uso indevido do modificador PRÓXIMO"));
  EXPECT_EQ(output("BUSCA A \"" + path("*.doc") + "\"\nBUSCA B \"" + path("*.txt") +
                   "\"\nBUSCA C PROXIMO\nSAIDA(A + \",\" + B + \",\" + C)\n"),
            "tres.doc,Um.TXT,dois.txt\n");
}

TEST_F(SystemCommandsTest, TransfereRoundTripAndRefusals) {
  EXPECT_EQ(output("TRANSFERE PARA \"maçã \" + 42\nTRANSFERE DE X\nSAIDA(X)\n"), "maçã 42\n");
  EXPECT_EQ(output("TRANSFERE X\n"),
            error(1, "Esperava DE ou PARA como opção para o comando TRANSFERE"));
  EXPECT_EQ(output("TRANSFERE PARA\n"), error(1, "Esperava uma cadeia como texto a TRANSFERIR"));
}

TEST_F(SystemCommandsTest, ConverteKeepsTheVariableWhenTheTextDoesNotDecode) {
  EXPECT_EQ(output("X = \"não é base64!\"\nCONVERTE X DE MIME\nCHECA S\nSAIDA(X)\nSAIDA(S)\n"),
            "não é base64!\n1\n");
  EXPECT_EQ(output("X = 255\nCONVERTE X PARA MIME\nSAIDA(X)\nCONVERTE X DE \"mime\"\nCHECA S\n"
                   "SAIDA(X + \"/\" + TIPO(X) + \"/\" + S)\n"),
            "MjU1\n255/cadeia/0\n");
  EXPECT_EQ(output("X = \"a\"\nCONVERTE X PARA HEX\n"),
            error(2, "Código de conversão desconhecido: HEX"));
  EXPECT_EQ(output("X = \"a\"\nCONVERTE X EM URL\n"), error(2, "Esperava DE ou PARA"));
}

// A long wait is no trap: Ctrl+F12 ends the script from inside it.
TEST_F(SystemCommandsTest, EsperaEndsAtTheInterruptKey) {
  flushKeyQueue();
  injectExtendedKey(key::CtrlF12);
  run("ESPERA 3600\nSAIDA(\"depois\")\n");
  EXPECT_EQ(test::captured().find("depois"), std::string::npos);
  EXPECT_NE(test::captured().find("interrompida na linha 1"), std::string::npos) << test::captured();
  EXPECT_EQ(output("ESPERA 0\n"), error(1, "Esperava o número de segundos"));
  EXPECT_EQ(output("ESPERA 2 \"\"\n"), error(1, "Esperava o nome da janela"));
}

// Each run of a script starts on a fresh interpreter: nothing a former run
// left half done (a search, a menu, a form) is taken up by the next.
TEST_F(SystemCommandsTest, ResetForgetsSearchesMenusAndForms) {
  write(path("a.txt"), "");
  write(path("b.txt"), "");
  EXPECT_EQ(output("BUSCA A \"" + path("*.txt") + "\"\nMENU CRIA 1 1 10 3\nFORM CRIA\nSAIDA(A)\n"), "a.txt\n");
  resetInterpreter();
  EXPECT_EQ(output("BUSCA A PROXIMO\n"), error(1, "Uso indevido do modificador PRÓXIMO"));
  EXPECT_EQ(output("MENU ADICIONA \"x\"\n"), error(1, "É necessário usar o comando MENU CRIA antes"));
  EXPECT_EQ(output("FORM CAMPO \"x\" X\n"), error(1, "É necessário usar o comando FORM CRIA antes"));
}

}  // namespace
}  // namespace varlo
