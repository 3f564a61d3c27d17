// Random operands for every command of the set that needs no keyboard:
// each statement may fail, but it must fail with a report, leave the
// interpreter usable and leave no value behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>

#include "script_fixture.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

class GarbageTest : public test::ScriptTest {
 protected:
  fs::path dir = fs::temp_directory_path() / ("varlo-garbage-" + std::to_string(getpid()));

  void SetUp() override {
    test::ScriptTest::SetUp();
    fs::create_directories(dir);
  }
  void TearDown() override {
    resetInterpreter();
    fs::remove_all(dir);
    test::ScriptTest::TearDown();
  }
};

TEST_F(GarbageTest, RandomOperandsNeverBreakTheInterpreter) {
  const std::vector<std::string> commands = {
      "ESCREVE", "ESCREVE MUDO", "ESCREVE LISTA", "ABRE", "FECHA", "CHECA", "CONCATENA", "COPIA",
      "DIVIDE", "SOMA", "SUBTRAI", "MULTIPLICA", "ORDENA", "PROCURA", "ANEXA", "SEPARA", "SUBSTITUI",
      "TROCA", "VERSAO", "SIMBOLOS", "RANDOMIZA", "X :=", "LE #1", "LE #2 JSON", "LE #1 LISTA"};
  const std::string file = "\"" + (dir / "f.txt").string() + "\"";
  const std::vector<std::string> operands = {
      "V", "W", "L", "D", "S", "1", "0", "-1", "2147483647", "\"\"", "\"ab\"", "\"9\"", "\"a,b\"", file,
      "#", "#1", "#2", "#16", "&", ",", ":", ":-3", "[", "]", "{", "}", "(", ")", "[1, \"x\"]",
      "{\"k\" : [1]}", "LISTA", "MUDO", "DECRESCENTE", "NUMERICO", "MAIUSC", "PARCIAL", "JSON",
      "TAMANHO(L)", "CONTEUDO(" + file + ", \"JSON\")", "DIRETORIO(\"" + dir.string() + "\")",
      "ABREARQ(#2, " + file + ", \"A\")", "INSERE(L, 0, L)", "MAP(\"TIPO\", L)", "RETIRA(D, \"k\")",
      "..", "+", "*", "|"};
  std::mt19937 random(2024);
  std::string prelude = "V := \"ARQ1\"\nW := 3\nL := [3, \"b\", [1]]\nD := {\"k\" : L}\nS := \"x y\"\n";
  int ran = 0, failed = 0;
  for (int round = 0; round < 1500; ++round) {
    std::string line = commands[random() % commands.size()];
    int count = int(random() % 6);
    for (int i = 0; i < count; ++i) line += " " + operands[random() % operands.size()];
    std::string out = output(prelude + line + "\nSAIDA(\"fim\")\n");
    // Either the statement ran and the script went on, or it failed and
    // said so.
    bool wentOn = out.size() >= 4 && out.compare(out.size() - 4, 4, "fim\n") == 0;
    bool reported = out.find("Erro no script") != std::string::npos;
    EXPECT_TRUE(wentOn || reported) << line << "\n" << out;
    ran += wentOn;
    failed += !wentOn;
    ASSERT_EQ(objectCounters().objects, 0) << line;
  }
  // The operands are varied enough to reach both outcomes often.
  EXPECT_GT(ran, 200);
  EXPECT_GT(failed, 200);
  EXPECT_EQ(output("SAIDA(TAMANHO(\"ok\"))\n"), "2\n");
}

}  // namespace
}  // namespace varlo
