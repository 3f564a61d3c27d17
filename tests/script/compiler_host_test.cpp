// Compiling and hosting scripts: block structure and its messages, labels,
// the nesting limit, loading rules (.CMD, continuation lines), slots and
// result codes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "script_fixture.h"

namespace varlo {
namespace {
using test::captured;

class CompilerHostTest : public test::ScriptTest {
 protected:
  std::string compileErrors(std::string_view text) {
    captured().clear();
    RunOutcome o = run(text);
    EXPECT_EQ(o.code, srSyntax) << captured();
    return captured();
  }

  std::filesystem::path writeFile(const std::string& name, const std::string& contents) {
    auto dir = std::filesystem::temp_directory_path() / "varlo-script-host-test";
    std::filesystem::create_directories(dir);
    auto path = dir / name;
    std::ofstream(path, std::ios::binary) << contents;
    return path;
  }
};

TEST_F(CompilerHostTest, BlockMismatchesAreReportedWithLines) {
  EXPECT_EQ(compileErrors("X := 1\nENQUANTO X\nX := 2\n"),
            "Erro no script TESTE.SCR, linha 3:\nFaltou finalizar o comando ENQUANTO, iniciado na linha 2\n");
  EXPECT_EQ(compileErrors("ENQUANTO 1\nFIM PARA\n"),
            "Erro no script TESTE.SCR, linha 2:\nComando FIM PARA não corresponde ao comando ENQUANTO na linha 1\n");
  EXPECT_EQ(compileErrors("ENQUANTO 1\nSENAO\nFIM ENQUANTO\n"),
            "Erro no script TESTE.SCR, linha 2:\nComando SENÃO sobrando\n");
  EXPECT_EQ(compileErrors("QUEBRA\n"), "Erro no script TESTE.SCR, linha 1:\nComando QUEBRA fora de um comando iterativo\n");
  EXPECT_EQ(compileErrors("FIM SE\n"), "Erro no script TESTE.SCR, linha 1:\nComando FIM sobrando\n");
  EXPECT_EQ(compileErrors("SE 1\nFIM X\n"), "Erro no script TESTE.SCR, linha 2:\nEsperava o complemento do comando FIM\n");
  EXPECT_EQ(compileErrors("SE 1\nSENAO SE 2 ENTAO X := 1\nFIM SE\n"),
            "Erro no script TESTE.SCR, linha 2:\nO comando SE de uma linha não é permitido após SENÃO\n");
  EXPECT_EQ(compileErrors("SE 1 ENTAO ENQUANTO 1\n"),
            "Erro no script TESTE.SCR, linha 1:\nEsperava um comando simples na mesma linha do comando SE\n");
}

TEST_F(CompilerHostTest, FunctionsLocalsAndImportsAreCheckedWhereTheyStand) {
  EXPECT_EQ(compileErrors("SE 1\nFUNCAO F\nFIM FUNCAO\nFIM SE\n"),
            "Erro no script TESTE.SCR, linha 2:\nFunções não podem estar aninhadas em comandos ou em outras funções\n");
  EXPECT_EQ(compileErrors("FUNCAO F\nFUNCAO G\n"),
            "Erro no script TESTE.SCR, linha 2:\nFunções não podem estar aninhadas em comandos ou em outras funções\n");
  EXPECT_EQ(compileErrors("LOCAL X\n"), "Erro no script TESTE.SCR, linha 1:\nO comando LOCAL só é válido no corpo de uma função\n");
  EXPECT_EQ(compileErrors("FUNCAO F\nSE 1\nLOCAL X\nFIM SE\nFIM FUNCAO\n"),
            "Erro no script TESTE.SCR, linha 3:\nO comando LOCAL não pode estar no corpo de um comando iterativo\n");
  EXPECT_EQ(compileErrors("FUNCAO F\nFIM FUNCAO\nFUNCAO F\nFIM FUNCAO\n"),
            "Erro no script TESTE.SCR, linha 3:\n\"F\" já é um identificador de função; não pode ser nome de função\n");
  EXPECT_EQ(compileErrors("FUNCAO 5\n"), "Erro no script TESTE.SCR, linha 1:\nEsperava o nome da função\n");
  EXPECT_EQ(compileErrors("FUNCAO F\nIMPORTA M \"x.scr\"\nFIM FUNCAO\n"),
            "Erro no script TESTE.SCR, linha 2:\nO comando IMPORTA não pode estar no corpo de uma função\n");
  EXPECT_EQ(compileErrors("IMPORTA M \"/nao/existe.scr\"\n"),
            "Erro no script TESTE.SCR, linha 1:\nErro na leitura do script \"/nao/existe.scr\"\n");
  EXPECT_EQ(run("FUNCAO F\n  LOCAL X = 1\nFIM FUNCAO\nY := F()\n").code, srSuccess);
}

TEST_F(CompilerHostTest, LabelsAreDefinedOnceAndFoundByStartLabel) {
  EXPECT_EQ(compileErrors("@INICIO\n@INICIO\n"),
            "Erro no script TESTE.SCR, linha 2:\nRótulo \"@INICIO\" já foi definido na linha 1\n"
            "Erro no script TESTE.SCR, linha 2:\nRótulo \"@INICIO\" desconsiderado\n");
  EXPECT_EQ(output("SAIDA(1)\n@inicia:\nSAIDA(2)\n"), "1\n2\n");
  captured().clear();
  RunOutcome o = run("SAIDA(1)\n@Inicia:\nSAIDA(2)\n", "inicia");
  EXPECT_EQ(o.code, srSuccess);
  EXPECT_EQ(captured(), "2\n");
  captured().clear();
  o = run("SAIDA(1)\n", "inicia");
  EXPECT_EQ(o.code, srNoLabel);
  reportResult(o.code, "inicia");
  EXPECT_EQ(captured(), "Rótulo não foi achado dentro do script\ninicia\n");
}

TEST_F(CompilerHostTest, ElseIfLinksFollowTheChain) {
  int32_t slot = loadScriptText("/tmp/varlo-test/LINKS.SCR", "SE A\nX := 1\nSENAO SE B\nX := 2\nSENAO\nX := 3\nFIM SE\n");
  ASSERT_TRUE(compileScript(slot));
  const ScriptRec& r = scriptSlot(slot);
  EXPECT_EQ(r.lines[1].link, 3);
  EXPECT_EQ(r.lines[3].link, 5);
  EXPECT_EQ(r.lines[5].link, 7);
  EXPECT_EQ(r.lines[2].next, 7);
  EXPECT_EQ(r.lines[4].next, 7);
  EXPECT_EQ(r.lines[6].next, 7);
  EXPECT_TRUE(compileScript(slot));  // compiled once: no work, no error
  freeScript(slot);
}

TEST_F(CompilerHostTest, NestingLimitIs8196Blocks) {
  auto nested = [](int depth) {
    std::string text;
    for (int i = 0; i < depth; ++i) text += "ENQUANTO 0\n";
    for (int i = 0; i < depth; ++i) text += "FIM ENQUANTO\n";
    return text;
  };
  EXPECT_EQ(run(nested(8196)).code, srSuccess) << captured().substr(0, 200);
  captured().clear();
  EXPECT_EQ(run(nested(8197)).code, srSyntax);
  EXPECT_EQ(captured(), "Erro no script TESTE.SCR, linha 8197:\nMais de 8196 comandos aninhados!\n");
}

TEST_F(CompilerHostTest, ContinuationLinesKeepTheFirstLineNumber) {
  EXPECT_EQ(output("X := [1,\n&   2,\n& 3]\nSAIDA(X)\nSAIDA(Y +\n& 1)\n"),
            "[1, 2, 3]\nErro no script TESTE.SCR, linha 5:\nA variável \"Y\" não foi inicializada\nindefinido\n");
}

TEST_F(CompilerHostTest, CmdFilesJoinElseAndIf) {
  const char* text = "X := 2\nSE X = 1\nSAIDA(1)\nSENAO\nSE X = 2\nSAIDA(2)\nFIM SE\n";
  captured().clear();
  EXPECT_EQ(run(text, "", "/tmp/varlo-test/JUNTA.CMD").code, srSuccess);
  EXPECT_EQ(captured(), "2\n");
  captured().clear();
  EXPECT_EQ(run(text, "", "/tmp/varlo-test/JUNTA.SCR").code, srSyntax);
  EXPECT_EQ(captured(), "Erro no script JUNTA.SCR, linha 7:\nFaltou finalizar o comando SENÃO, iniciado na linha 4\n");
}

TEST_F(CompilerHostTest, LoadingFilesAndSlots) {
  auto path = writeFile("dobro.scr", "SAIDA(\"arquivo\")\n");
  int32_t first = loadScript(path.string());
  ASSERT_GT(first, 0);
  EXPECT_EQ(loadScript(path.string()), first);
  std::ofstream(path, std::ios::binary) << "SAIDA(\"novo\")\n";
  EXPECT_EQ(runLoaded(first, "", false).code, srSuccess);
  EXPECT_EQ(captured(), "arquivo\n");  // the loaded text stays until freed
  freeScript(first);
  captured().clear();
  EXPECT_EQ(executeScript(path.string(), "").code, srSuccess);
  EXPECT_EQ(captured(), "novo\n");

  RunOutcome missing = executeScript("/nao/existe/nada.cmd", "inicia");
  EXPECT_EQ(missing.code, srNotRead);
  captured().clear();
  reportResult(missing.code, "inicia");
  EXPECT_EQ(captured(), "Script não foi achado\n");

  resetInterpreter();
  for (int i = 1; i < kScriptSlots; ++i) {
    ASSERT_GT(loadScriptText("/tmp/varlo-test/S" + std::to_string(i) + ".SCR", "X := 1\n"), 0);
  }
  EXPECT_EQ(loadScriptText("/tmp/varlo-test/S128.SCR", "X := 1\n"), -1);
}

TEST_F(CompilerHostTest, ImportedNamesAreReachedThroughTheAlias) {
  auto lib = writeFile("biblio.scr", "FUNCAO DOBRO(N)\n  RETORNA N * 2\nFIM FUNCAO\nVALOR := 5\n");
  std::string text = "IMPORTA B \"" + lib.string() + "\"\nSAIDA(B.DOBRO(21))\n";
  EXPECT_EQ(output(text), "42\n");
}

TEST_F(CompilerHostTest, ASuperglobalFunctionRunsInTheScriptThatHoldsIt) {
  // Its lines are 4 and 5 of the library; the caller's lines 4 and 5 call it.
  auto lib = writeFile("super.scr", "A := 1\nB := 2\nC := 3\nFUNCAO $DOBRO(N)\n  RETORNA N * 2\nFIM FUNCAO\n");
  std::string text = "IMPORTA L \"" + lib.string() + "\"\nX := 1\nY := 2\nSAIDA($DOBRO(21))\nSAIDA(\"fim\")\n";
  EXPECT_EQ(output(text), "42\nfim\n");
  // A script freed after CHAMA SCRIPT takes its functions with it.
  resetInterpreter();
  auto called = writeFile("chamado.cmd", "@inicia\nFUNCAO $TRIPLO(N)\n  RETORNA N * 3\nFIM FUNCAO\nSAIDA($TRIPLO(2))\nRETORNA\n");
  std::string caller = "CHAMA SCRIPT \"" + called.string() + "\" @inicia\nSAIDA(\"depois\")\nX := $TRIPLO(5)\n";
  std::string out = output(caller);
  EXPECT_EQ(out.substr(0, 9), "6\ndepois\n") << out;
  EXPECT_EQ(out.find("15"), std::string::npos) << out;
}

TEST_F(CompilerHostTest, BinaryFilesAndEndlessOutputAreCutShort) {
  std::string binary;
  for (int i = 0; i < 4000; ++i) binary += char(i * 37 % 256);
  auto path = writeFile("lixo.bin", binary);
  RunOutcome o = executeScript(path.string(), "");
  EXPECT_NE(o.code, srSuccess);
  size_t lines = size_t(std::count(captured().begin(), captured().end(), '\n'));
  EXPECT_LT(lines, 60u) << captured();
}

TEST_F(CompilerHostTest, RunFailureCarriesLineAndText) {
  RunOutcome o = run("X := 1\nY := X +\n");
  EXPECT_EQ(o.code, srRunFailed);
  EXPECT_EQ(o.line, 2);
  EXPECT_EQ(o.message, "Y := X +");
  captured().clear();
  reportResult(o.code, "");
  EXPECT_EQ(captured(), "Erro de execução do script\n");
}

}  // namespace
}  // namespace varlo
