// Descriptors and text files: bytes on disk, encodings, binary and missing
// files, misuse of descriptors, and the reset that closes them.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "script/cmd_descriptors.h"
#include "script_fixture.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

class FileCommandsTest : public test::ScriptTest {
 protected:
  fs::path dir;

  void SetUp() override {
    test::ScriptTest::SetUp();
    dir = fs::temp_directory_path() / ("varlo-files-" + std::to_string(getpid()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    test::ScriptTest::TearDown();
    resetInterpreter();
    fs::remove_all(dir);
  }

  std::string path(const std::string& name) { return (dir / name).string(); }

  std::string bytes(const std::string& name) {
    std::ifstream in(path(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  void write(const std::string& name, const std::string& content) {
    std::ofstream(path(name), std::ios::binary) << content;
  }

  std::string error(int line, const std::string& message) {
    return "Erro no script TESTE.SCR, linha " + std::to_string(line) + ":\n" + message + "\n";
  }
};

TEST_F(FileCommandsTest, TextIsWrittenAsUtf8AndReadFromEitherEncoding) {
  std::string f = path("a.txt");
  EXPECT_EQ(output("ABRE #1 \"" + f + "\" &\nESCREVE #1 \"ação\", 1\nFECHA #1\n"), "");
  EXPECT_EQ(bytes("a.txt"), "ação 1\n");
  write("latin.txt", "a\xe7\xe3o\r\nfim");
  EXPECT_EQ(output("ABRE #2 \"" + path("latin.txt") + "\"\nLE #2 X\nLE #2 Y\nSAIDA(X)\nSAIDA(Y)\n"
                   "SAIDA(FDA(#2))\n"),
            "ação\nfim\n1\n");
}

TEST_F(FileCommandsTest, AppendingKeepsTheEncodingOfTheFile) {
  write("old.txt", "p\xe3o\n");
  write("new.txt", "pão\n");
  write("plain.txt", "pao\n");
  EXPECT_EQ(output("ABRE #1 \"" + path("old.txt") + "\" &\nESCREVE #1 \"ação\"\nFECHA #1\n"
                   "ABRE #1 \"" + path("new.txt") + "\" &\nESCREVE #1 \"ação\"\nFECHA #1\n"
                   "ABRE #1 \"" + path("plain.txt") + "\" &\nESCREVE #1 \"ação\"\nFECHA #1\n"),
            "");
  EXPECT_EQ(bytes("old.txt"), "p\xe3o\na\xe7\xe3o\n");
  EXPECT_EQ(bytes("new.txt"), "pão\nação\n");
  EXPECT_EQ(bytes("plain.txt"), "pao\nação\n");
}

TEST_F(FileCommandsTest, NamesAreFoundWhateverTheirLetterCase) {
  write("Dados.TXT", "um\n");
  EXPECT_EQ(output("ABRE #1 \"" + path("dados.txt") + "\"\nLE #1 X\nSAIDA(X)\n"
                   "SAIDA(CONTEUDO(\"" + path("DADOS.txt") + "\"))\n"),
            "um\n[um]\n");
}

TEST_F(FileCommandsTest, BinaryFilesAreReadAsBytesWithoutHarm) {
  std::string binary("\x00\xff\x01\n\x00\x00\xfe", 7);
  write("b.bin", binary);
  EXPECT_EQ(output("ABRE #1 \"" + path("b.bin") + "\"\nLE #1 X\nSAIDA(TAMANHO(X))\nSAIDA(ORD(X[2]))\n"
                   "L := CONTEUDO(\"" + path("b.bin") + "\")\nSAIDA(TAMANHO(L))\nSAIDA(TAMANHO(L[1]))\n"),
            "3\n255\n2\n3\n");
}

TEST_F(FileCommandsTest, ReadingPastTheEndLeavesTheVariableAndStops) {
  write("one.txt", "x\n");
  EXPECT_EQ(output("V := 5\nABRE #1 \"" + path("one.txt") + "\"\nLE #1 V\nLE #1 V\nSAIDA(V)\n"),
            error(4, "Erro de leitura; a variável \"V\" não foi alterada"));
  write("empty.txt", "");
  EXPECT_EQ(output("V := \"abc\"\nABRE #2 \"" + path("empty.txt") + "\"\nLE #2 V[2]\nSAIDA(V)\n"),
            error(3, "Erro de leitura; a variável \"V[2]\" não foi alterada"));
}

TEST_F(FileCommandsTest, DescriptorMisuseIsReported) {
  EXPECT_EQ(output("ABRE \"x.txt\"\n"), error(1, "Esperava um descritor de arquivo"));
  EXPECT_EQ(output("ABRE #16 \"x.txt\"\n"), error(1, "Descritor de arquivo inválido"));
  EXPECT_EQ(output("ABRE #-1 \"x.txt\"\n"), error(1, "Descritor de arquivo inválido"));
  EXPECT_EQ(output("ESCREVE #5 \"x\"\n"), error(1, "Erro no processamento do arquivo #5"));
  EXPECT_EQ(output("FECHA #2\n"), error(1, "Erro no fechamento do arquivo #2"));
  EXPECT_EQ(output("LE #3 X\n"), error(1, "Não há arquivo aberto associado ao descritor #3"));
  EXPECT_EQ(output("ABRE #1 \"" + path("nada.txt") + "\"\n"),
            error(1, "Erro na abertura do arquivo " + path("nada.txt")));
  EXPECT_EQ(output("ABRE #1 \"" + dir.string() + "\"\nCHECA S\nSAIDA(S)\n"),
            error(1, "Erro na abertura do arquivo " + dir.string()));
}

TEST_F(FileCommandsTest, InvalidValuesNeverReachAFile) {
  std::string f = path("c.txt");
  EXPECT_EQ(output("ABRE #1 \"" + f + "\" &\nESCREVE #1 \"antes\"\nESCREVE #1 \"x\", [1] - 2\n"),
            error(3, "Expressão inválida para o comando ESCREVE"));
  EXPECT_EQ(bytes("c.txt"), "antes\n");
}

TEST_F(FileCommandsTest, WritingToAFileOpenForReadingOnlySetsTheStatus) {
  write("r.txt", "a\n");
  EXPECT_EQ(output("ABRE #1 \"" + path("r.txt") + "\"\nESCREVE #1 \"b\"\nCHECA S\nSAIDA(S)\n"
                   "LE #1 X\nCHECA S\nSAIDA(X + S)\n"),
            "1\na0\n");
  EXPECT_EQ(bytes("r.txt"), "a\n");
}

TEST_F(FileCommandsTest, AWriteLostToAFullDiskMakesTheCloseFail) {
  // Every write to /dev/full fails for want of space.
  EXPECT_EQ(output("ABRE #1 \"/dev/full\" &\nESCREVE #1 \"linha\"\nCHECA S\nSAIDA(S)\n"
                   "FECHA #1\n"),
            "1\n" + error(5, "Erro no fechamento do arquivo #1"));
  EXPECT_FALSE(descriptorSlot(1).open);
}

TEST_F(FileCommandsTest, TheResetClosesEveryDescriptor) {
  std::string f = path("d.txt");
  EXPECT_EQ(output("ABRE #1 \"" + f + "\" &\nESCREVE #1 \"um\"\n"), "");
  resetInterpreter();
  // Open again on the same descriptor: it was closed, and its text is on disk.
  EXPECT_EQ(output("ABRE #1 \"" + f + "\"\nLE #1 X\nSAIDA(X)\n"), "um\n");
}

TEST_F(FileCommandsTest, OpeningFunctionsAndEndOfFile) {
  write("e.txt", "");
  std::string f = path("e.txt");
  EXPECT_EQ(output("SAIDA(ABREARQ(#1, \"" + f + "\", \"L\"))\nSAIDA(FDA(#1))\nSAIDA(FIMARQ(#2))\n"
                   "SAIDA(ABREARQ(#1, \"" + f + "\", \"L\"))\nCHECA S\nSAIDA(S)\n"
                   "SAIDA(TIPO(ABREARQ(#2, \"" + f + "\", \"LE\")))\nSAIDA(TIPO(FDA(99)))\n"
                   "SAIDA(ABREARQ(#3, \"" + path("novo/x.txt") + "\", \"e\"))\n"),
            "1\n1\n0\n0\n1\nindefinido\nindefinido\n0\n");
}

TEST_F(FileCommandsTest, ContentsAndDirectoryListings) {
  write("z.txt", "1\r\n2\r\n");
  fs::create_directories(dir / "sub");
  std::string d = dir.string();
  EXPECT_EQ(output("SAIDA(CONTEUDO(\"" + path("z.txt") + "\"))\n"
                   "SAIDA(DIRETORIO(\"" + d + "\"))\nSAIDA(DIRETORIO(\"" + d + "\", \"dir\"))\n"
                   "SAIDA(DIRETORIO(\"" + d + "\", \"ARQ\"))\nSAIDA(DIRETORIO(\"" + d + "/*.TXT\"))\n"
                   "SAIDA(DIRETORIO(\"" + d + "/nada\"))\nCHECA S\nSAIDA(S)\n"),
            "[1, 2]\n[sub, z.txt]\n[sub]\n[z.txt]\n[z.txt]\n[]\n1\n");
  EXPECT_EQ(output("SAIDA(DIRETORIO(\"" + d + "\", \"X\"))\n"),
            error(1, "Argumento inválido para a função DIRETÓRIO: X") + "[sub, z.txt]\n");
}

// Connections are opened by the device commands; here a socket pair stands
// in for one.
TEST_F(FileCommandsTest, ConnectionsCarryLinesAndJsonAndSurviveAClosedPeer) {
  int pair[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
  ASSERT_TRUE(attachDescriptor(4, dkNetwork, pair[0]));
  const char* incoming = "primeira\r\nsegunda\n{\"a\" : [1,\n2]} resto";
  ASSERT_EQ(::write(pair[1], incoming, strlen(incoming)), ssize_t(strlen(incoming)));
  EXPECT_EQ(output("ESCREVE #4 \"olá\", 1\nLE #4 A\nLE #4 B\nLE #4 JSON J\nSAIDA([A, B, J])\n"),
            "[primeira, segunda, {\"a\" : [1, 2]}]\n");
  char sent[16] = {};
  ASSERT_EQ(::read(pair[1], sent, sizeof sent), 7);
  EXPECT_EQ(std::string(sent), "ol\xe1 1\r\n");
  ::close(pair[1]);
  EXPECT_EQ(output("ESCREVE #4 \"x\"\nCHECA S\nSAIDA(S)\nLE #4 K &\nSAIDA(K)\n"), "1\n \n");
  EXPECT_TRUE(closeDescriptor(4));
}

TEST_F(FileCommandsTest, FilesBeyondTheStringLimitAreRefused) {
  write("big.txt", std::string(5000, 'x'));
  ValueLimits saved = valueLimits();
  ValueLimits small = saved;
  small.maxStringBytes = 1000;
  setValueLimits(small);
  std::string out = output("SAIDA(TIPO(CONTEUDO(\"" + path("big.txt") + "\")))\nCHECA S\nSAIDA(S)\n");
  setValueLimits(saved);
  EXPECT_EQ(out, error(1, "Memória insuficiente") + "indefinido\n1\n");
}

}  // namespace
}  // namespace varlo
