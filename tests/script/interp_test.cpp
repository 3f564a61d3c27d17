// Running scripts: control flow, calls and the execution stack, scopes,
// error reports, and the object counters after runs.
#include <gtest/gtest.h>

#include "script_fixture.h"

namespace varlo {
namespace {
using test::captured;

class InterpTest : public test::ScriptTest {};

TEST_F(InterpTest, IfElseIfChains) {
  const char* script =
      "PARA X EM [1, 2, 3]\n"
      "  SE X = 1\n"
      "    SAIDA(\"um\")\n"
      "  SENAO SE X = 2 ENTAO\n"
      "    SAIDA(\"dois\")\n"
      "  SENÃO\n"
      "    SAIDA(\"outro\")\n"
      "  FIM SE\n"
      "FIM PARA\n"
      "SE 0 ENTAO SAIDA(\"nunca\")\n"
      "SE \"x\" ENTAO SAIDA(\"cadeia\")\n"
      "SE [] ENTAO SAIDA(\"vazia\")\n";
  EXPECT_EQ(output(script), "um\ndois\noutro\ncadeia\n");
}

TEST_F(InterpTest, ForLoopsOverRangesStringsListsAndDictionaries) {
  EXPECT_EQ(output("PARA I DE 1 ATE 3\nSAIDA(I)\nFIM PARA\nSAIDA(I)\n"), "1\n2\n3\nindefinido\n");
  EXPECT_EQ(output("PARA I DE 3 ATE 1\nSAIDA(I)\nFIM PARA\nSAIDA(I)\n"), "indefinido\n");
  EXPECT_EQ(output("PARA I DE 3 A 1 DECRESCENDO FACA\nSAIDA(I)\nFIM PARA\n"), "3\n2\n1\n");
  EXPECT_EQ(output("PARA I 5..6\nSAIDA(I)\nFIM PARA\n"), "5\n6\n");
  EXPECT_EQ(output("PARA I EM 3..1\nSAIDA(I)\nFIM PARA\n"), "3\n2\n1\n");
  EXPECT_EQ(output("PARA C EM \"abc\"\nSAIDA(C)\nFIM PARA\n"), "a\nb\nc\n");
  EXPECT_EQ(output("PARA K EM {\"x\" : 1, \"y\" : 2}\nSAIDA(K)\nFIM PARA\n"), "x\ny\n");
  EXPECT_EQ(output("PARA K EM 7\nSAIDA(K)\nFIM PARA\n"), "7\n");
}

TEST_F(InterpTest, ForLoopErrors) {
  EXPECT_EQ(output("PARA I EM {}\nFIM PARA\nPARA I EM INDEF\nFIM PARA\n"),
            "Erro no script TESTE.SCR, linha 3:\nA variável \"INDEF\" não foi inicializada\n"
            "Erro no script TESTE.SCR, linha 3:\nDomínio inválido para um iterador\n");
  EXPECT_EQ(output("PARA I EM [1, 2]\nI := 5\nFIM PARA\n"),
            "Erro no script TESTE.SCR, linha 2:\nTentativa de modificar o iterador I\n");
  EXPECT_EQ(output("PARA I DE \"a\" ATE 2\nFIM PARA\n"),
            "Erro no script TESTE.SCR, linha 1:\nLimites para a variável de controle devem ser INTEIROS\n");
  EXPECT_EQ(output("L := [0]\nPARA L[0] EM [1]\nFIM PARA\n"),
            "Erro no script TESTE.SCR, linha 2:\nUm iterador deve ser uma váriável simples, sem índices\n"
            "Erro no script TESTE.SCR, linha 2:\nA linha deveria terminar onde aparece \"EM\"\n");
}

TEST_F(InterpTest, WhileRepeatBreakAndContinue) {
  const char* script =
      "X := 0\n"
      "ENQUANTO X < 10 FACA\n"
      "  X := X + 1\n"
      "  SE X % 2 = 0 ENTAO CONTINUA\n"
      "  SE X > 6 ENTAO QUEBRA\n"
      "  SAIDA(X)\n"
      "FIM ENQUANTO\n"
      "REPETE N 3\n"
      "  SAIDA(\"r\" + N)\n"
      "FIM REPETE\n"
      "REPETE M 0\n"
      "  SAIDA(\"nunca\")\n"
      "FIM REPETE\n"
      "PARA I EM [1, 2, 3]\n"
      "  SE I = 2\n"
      "    QUEBRA\n"
      "  FIM SE\n"
      "FIM PARA\n"
      "SAIDA(I)\n";
  EXPECT_EQ(output(script), "1\n3\n5\nr1\nr2\nr3\nindefinido\n");
}

TEST_F(InterpTest, FunctionsParametersLocalsAndResults) {
  const char* script =
      "FUNCAO SOMA3(A, B, C) : T := 10\n"
      "  LOCAL U = 1, V\n"
      "  RETORNA A + B + C + T + U\n"
      "FIM FUNCAO\n"
      "FUNCAO NADA\n"
      "FIM FUNCAO\n"
      "A := \"global\"\n"
      "SAIDA(SOMA3(1, 2, 3))\n"
      "SAIDA(SOMA3(1))\n"
      "SAIDA(NADA())\n"
      "SAIDA(A)\n"
      "X := SOMA3(1, 1, 1, 1)\n"
      "SAIDA(X)\n";
  EXPECT_EQ(output(script),
            "17\nindefinido\nindefinido\nglobal\n"
            "Erro no script TESTE.SCR, linha 12:\nA função \"SOMA3\" requer 3 parâmetros apenas\n14\n");
}

TEST_F(InterpTest, RunawayRecursionEndsWithCallStackOverflow) {
  const char* script =
      "FUNCAO F(N)\n"
      "  RETORNA F(N + 1)\n"
      "FIM FUNCAO\n"
      "X := F(1)\n";
  // The deepest call fails and yields undefined; the callers go on.
  RunOutcome o = run(script);
  EXPECT_EQ(o.code, srSuccess);
  EXPECT_NE(captured().find("Estouro na pilha de chamadas"), std::string::npos);
  EXPECT_EQ(theInterp.stackPointer, 0);
  EXPECT_EQ(objectCounters().objects, 0);
}

TEST_F(InterpTest, DeepButFiniteRecursionWorks) {
  const char* script =
      "FUNCAO R(N)\n"
      "  SE N <= 0 ENTAO RETORNA 0\n"
      "  RETORNA R(N - 1) + 1\n"
      "FIM FUNCAO\n"
      "SAIDA(R(500))\n";
  EXPECT_EQ(output(script), "500\n");
}

TEST_F(InterpTest, ParametersHideGlobalsAndSuperglobalsCrossScripts) {
  const char* first =
      "FUNCAO F(X)\n"
      "  X := X + 1\n"
      "  RETORNA X\n"
      "FIM FUNCAO\n"
      "X := 10\n"
      "$TOTAL := 42\n"
      "SAIDA(F(1))\n"
      "SAIDA(X)\n";
  EXPECT_EQ(output(first), "2\n10\n");
  captured().clear();
  run("SAIDA($TOTAL)\nSAIDA(X)\n", "", "/tmp/varlo-test/OUTRO.SCR");
  EXPECT_EQ(captured(), "42\nErro no script OUTRO.SCR, linha 2:\nA variável \"X\" não foi inicializada\nindefinido\n");
}

TEST_F(InterpTest, LocalsNamedLikeCommandsOrBuiltinsAreRefused) {
  EXPECT_EQ(output("FUNCAO F(ESCREVE)\nFIM FUNCAO\nX := F(1)\n"),
            "Erro no script TESTE.SCR, linha 1:\n\"ESCREVE\" é identificador de comando, "
            "não pode ser uma variável local ou parâmetro\n"
            "Erro no script TESTE.SCR, linha 1:\nA linha deveria terminar onde aparece \"ESCREVE\"\n");
  EXPECT_EQ(output("FUNCAO G\n  LOCAL SAIDA\nFIM FUNCAO\nX := G()\n"),
            "Erro no script TESTE.SCR, linha 2:\n\"SAIDA\" é identificador de função nativa, "
            "não pode ser uma variável local ou parâmetro\n"
            "Erro no script TESTE.SCR, linha 2:\nA linha deveria terminar onde aparece \"SAIDA\"\n");
}

TEST_F(InterpTest, ExtraTokensAreReportedButTheStatementStands) {
  EXPECT_EQ(output("X := 1 2\nSAIDA(X)\n"),
            "Erro no script TESTE.SCR, linha 1:\nA linha deveria terminar onde aparece \"2\"\n1\n");
}

TEST_F(InterpTest, BareNamesAndExpressionsInScriptsAreReported) {
  RunOutcome o = run("X\n");
  EXPECT_EQ(o.code, srRunFailed);
  EXPECT_EQ(captured(), "Erro no script TESTE.SCR, linha 1:\nEsperava uma atribuição à variável \"X\"\n");
  captured().clear();
  EXPECT_EQ(run("5 + 1\n").code, srRunFailed);
  EXPECT_EQ(captured(), "Erro no script TESTE.SCR, linha 1:\nEsperava um comando\n");
}

TEST_F(InterpTest, InteractiveModePrintsValues) {
  EXPECT_EQ(interactive("2 + 3"), "5\n");
  interactive("X := [1, 2]");
  EXPECT_EQ(interactive("X"), "[1, 2]\n");
  EXPECT_EQ(interactive("SE 1 ENTAO SAIDA(\"sim\")"), "sim\n");
  EXPECT_EQ(interactive("DESVIA @X"), "Rótulo @X não foi definido ou não tem o escopo correto\n");
}

TEST_F(InterpTest, CallAndReturnWithinAScript) {
  const char* script =
      "CHAMA @SUB\n"
      "SAIDA(\"voltou\")\n"
      "TERMINA\n"
      "@SUB:\n"
      "SAIDA(\"sub\")\n"
      "RETORNA\n";
  EXPECT_EQ(output(script), "sub\nvoltou\n");
  EXPECT_EQ(theInterp.stackPointer, 0);
}

TEST_F(InterpTest, GotoAndCmdAndLet) {
  const char* script =
      "DESVIA \"depois\"\n"
      "SAIDA(\"pulado\")\n"
      "@DEPOIS\n"
      "CMD \"Z := 7\"\n"
      "SAIDA(Z)\n"
      "SEJA L [1, 2]\n"
      "SEJA M.nome\n"
      "SEJA N := 3\n"
      "SAIDA(L)\n"
      "SAIDA(M)\n"
      "SAIDA(N)\n"
      "DESTROI N\n"
      "SAIDA(N)\n"
      "SEJA P\n";
  EXPECT_EQ(output(script), "7\n[1, 2]\n[nome]\n3\nindefinido\n"
                            "Erro no script TESTE.SCR, linha 14:\nEsperava uma expressão para atribuir a \"P\"\n");
}

TEST_F(InterpTest, TerminateEndsSilentlyAndInsideFunctions) {
  RunOutcome o = run("SAIDA(1)\nTERMINA MUDO\nSAIDA(2)\n");
  EXPECT_EQ(o.code, srSuccess);
  EXPECT_EQ(captured(), "1\n");
  captured().clear();
  o = run("FUNCAO F\n  TERMINA \"fim\"\nFIM FUNCAO\nX := F()\nSAIDA(2)\n", "", "/tmp/varlo-test/T2.SCR");
  EXPECT_EQ(o.code, srSuccess);
  EXPECT_EQ(captured(), "fim\n");
  EXPECT_EQ(theInterp.stackPointer, 0);
}

TEST_F(InterpTest, CtrlF12StopsAnEndlessLoop) {
  injectExtendedKey(key::CtrlF12);
  RunOutcome o = run("ENQUANTO 1\nX := 1\nFIM ENQUANTO\n");
  EXPECT_EQ(o.code, srSuccess);
  EXPECT_NE(captured().find("Execução interrompida na linha "), std::string::npos) << captured();
}

TEST_F(InterpTest, CtrlF12BehindOtherKeysStopsTheLoopAndKeepsThem) {
  // 'i' has the code of Ctrl+F12 but is a plain key; F1 is an extended one.
  injectKeys("xi");
  injectExtendedKey(key::F1);
  injectExtendedKey(key::CtrlF12);
  injectKeys("y");
  setStepLimit(5'000'000);  // a loop the key does not stop fails instead of hanging
  RunOutcome o = run("ENQUANTO 1\nX := 1\nFIM ENQUANTO\n");
  setStepLimit(0);
  EXPECT_EQ(o.code, srSuccess);
  EXPECT_NE(captured().find("Execução interrompida na linha "), std::string::npos) << captured();
  std::string left;
  while (keyPending()) left += char(readKey());
  EXPECT_EQ(left, std::string("xi\0", 3) + char(key::F1) + "y");
}

TEST_F(InterpTest, StepLimitEndsAnEndlessLoop) {
  setStepLimit(1000);
  RunOutcome o = run("@A\nDESVIA @A\n");
  setStepLimit(0);
  EXPECT_EQ(o.code, srSuccess);
  EXPECT_NE(captured().find("Limite de passos"), std::string::npos);
}

TEST_F(InterpTest, ValuesAreFreedWithTheirLastReference) {
  ObjectCounters before = objectCounters();
  run("L := [{\"a\" : \"texto\", \"b\" : [1, 2]}, \"x\", [3]]\nM := L\nM[0].c := L[2]\nL := 0\nM := 0\n");
  ObjectCounters after = objectCounters();
  EXPECT_EQ(after.objects, before.objects);
  EXPECT_EQ(after.dictNodes, before.dictNodes);
  EXPECT_EQ(after.listCells, before.listCells);
}

bool secondArgument(const SymtbEntry&) {
  setResult(shared(argument(2)));
  return true;
}

TEST_F(InterpTest, BuiltinCalledWithoutRequiredParenthesesSeesUndefinedArguments) {
  addBuiltin({"SEGUNDO", secondArgument, 2, kBuiltinNeedsParens});
  EXPECT_EQ(output("SAIDA(SEGUNDO(1, 2))\nX := SEGUNDO 1\nSAIDA(X)\n"),
            "2\nErro no script TESTE.SCR, linha 2:\nA função \"SEGUNDO\" deve ser invocada com ()\n"
            "Erro no script TESTE.SCR, linha 2:\nA linha deveria terminar onde aparece \"1\"\nindefinido\n");
}

TEST_F(InterpTest, LongLinesAndExternalRoutine) {
  std::string sum = "X := 0";
  for (int i = 0; i < 3000; ++i) sum += " + 1";
  EXPECT_EQ(output(sum + "\nSAIDA(X)\nCHAMA REMOTO \"oi\" R\nSAIDA(R)\n"),
            "3000\nErro no script TESTE.SCR, linha 3:\nRotina externa não foi definida\n\n");
}

TEST_F(InterpTest, HugeRangesAreRefusedWithAMessage) {
  RunOutcome o = run("L := [1..2000000000]\n");
  EXPECT_EQ(o.code, srRunFailed);
  EXPECT_NE(captured().find("Memória insuficiente"), std::string::npos);
  EXPECT_EQ(objectCounters().listCells, 0);
}

}  // namespace
}  // namespace varlo
