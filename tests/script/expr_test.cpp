// Expressions typed in interactive mode: precedence, operator rules,
// literals, selectors and indexed assignment.
#include <gtest/gtest.h>

#include "script_fixture.h"

namespace varlo {
namespace {
using test::captured;

class ExprTest : public test::ScriptTest {
 protected:
  // The printed value of an expression, without the line break.
  std::string value(std::string_view expression) {
    std::string out = interactive(expression);
    if (!out.empty() && out.back() == '\n') out.pop_back();
    return out;
  }
};

TEST_F(ExprTest, PrecedenceAndAssociativity) {
  EXPECT_EQ(value("2 + 3 * 4"), "14");
  EXPECT_EQ(value("2 ^ 3 ^ 2"), "64");
  EXPECT_EQ(value("10 - 2 - 3"), "5");
  EXPECT_EQ(value("(2 + 3) * 4"), "20");
  EXPECT_EQ(value("-2 ^ 2"), "4");
  EXPECT_EQ(value("1 = 1 E 2 = 2"), "1");
  EXPECT_EQ(value("0 OU 1 E 0"), "0");
}

TEST_F(ExprTest, ComparisonsDoNotChain) {
  EXPECT_EQ(value("1 < 2 < 3"), "1\nA linha deveria terminar onde aparece \"<\"");
}

TEST_F(ExprTest, NumericStringsAndConcatenation) {
  EXPECT_EQ(value("\"10\" + 5"), "15");
  EXPECT_EQ(value("\"10a\" + 5"), "10a5");
  EXPECT_EQ(value("\"abc\" = \"ABC\""), "0");
  EXPECT_EQ(value("\"007\" = 7"), "1");
  EXPECT_EQ(value("\"b\" > \"a\""), "1");
  EXPECT_EQ(value("\"10\" > \"9\""), "1");
  EXPECT_EQ(value("\"x\" - 1"), "inválido");
  EXPECT_EQ(value("\" 42\" * 2"), "84");
}

TEST_F(ExprTest, UndefinedComparesAsDocumented) {
  // A line starting with a name and "=" is an assignment.
  EXPECT_EQ(value("INDEF = INDEF"), "Expressão inválida; a variável \"INDEF\" não foi modificada");
  EXPECT_EQ(value("(OUTRO = 1)"), "A variável \"OUTRO\" não foi inicializada\ninválido");
  runInteractiveLine("U := 1");
  runInteractiveLine("DESTROI U");
  EXPECT_EQ(value("(U = U)"), "1");
  EXPECT_EQ(value("(U <> 3)"), "1");
  EXPECT_EQ(value("(U >= U)"), "1");
  EXPECT_EQ(value("(U < 3)"), "0");
  EXPECT_EQ(value("(U = [1])"), "0");
}

TEST_F(ExprTest, DivisionAndPowerLimits) {
  EXPECT_EQ(value("7 / 0"), "Divisão por ZERO evitada\n7");
  EXPECT_EQ(value("7 % 0"), "Divisão por ZERO evitada\n0");
  EXPECT_EQ(value("-7 / 2"), "-3");
  EXPECT_EQ(value("-7 % 2"), "-1");
  EXPECT_EQ(value("2 ^ 31"), "Estouro durante potenciação\ninválido");
  EXPECT_EQ(value("2 ^ 30"), "1073741824");
  EXPECT_EQ(value("1 ^ 2000000000"), "1");
  EXPECT_EQ(value("-1 ^ 2000000001"), "-1");
  EXPECT_EQ(value("5 ^ -1"), "1");
  EXPECT_EQ(value("2147483647 + 1"), "-2147483648");
}

TEST_F(ExprTest, UnaryOperatorsAndBars) {
  EXPECT_EQ(value("-\"abc\""), "cba");
  EXPECT_EQ(value("+[1, 2, 3]"), "6");
  EXPECT_EQ(value("(*[2, 3, 4])"), "24");
  EXPECT_EQ(value(">[\"b\", \"a\"]"), "b");
  EXPECT_EQ(value("<[5, 2, 9]"), "2");
  EXPECT_EQ(value("+[1, \"a\"]"), "inválido");
  EXPECT_EQ(value("|\"casa\"|"), "4");
  EXPECT_EQ(value("|-5|"), "5");
  EXPECT_EQ(value("|[1, [2, 3]]|"), "2");
  EXPECT_EQ(value("|3"), "Faltou a barra vertical\n3");
  EXPECT_EQ(value("-[1, 2]"), "[2, 1]");
}

TEST_F(ExprTest, WordOperatorsNeedZeroOrOneOnTheirLeft) {
  runInteractiveLine("X := 5 E 1");
  EXPECT_EQ(captured(), "A linha deveria terminar onde aparece \"E\"\n");
  EXPECT_EQ(value("X"), "5");
  runInteractiveLine("X := 1 E 5");
  EXPECT_EQ(value("X"), "1");
}

TEST_F(ExprTest, ListAndDictionaryLiterals) {
  EXPECT_EQ(value("[1..3, 7]"), "[1, 2, 3, 7]");
  EXPECT_EQ(value("[3..1]"), "[3, 2, 1]");
  EXPECT_EQ(value("[]"), "[]");
  EXPECT_EQ(value("{}"), "{}");
  EXPECT_EQ(value("{ \"a\" : 1, 5, 6 }"), "{\"a\" : 1, \"0\" : 5, \"1\" : 6}");
  EXPECT_EQ(value("{ 3 : \"x\", \"y\" }"), "{\"3\" : \"x\", \"4\" : \"y\"}");
  EXPECT_EQ(value("{\"NOME\" : \"A\"\"na\", \"IDADE\" : 3}"), "{\"NOME\" : \"A\"\"na\", \"IDADE\" : 3}");
  EXPECT_EQ(value("[1, \"a\"..2]"), "Esperava uma faixa de inteiros como elementos da lista\n[1]");
  EXPECT_EQ(value("[1 2]"), "2 não era esperado\n[1]");
  EXPECT_EQ(value("{1 2}"), "2 é um token inválido neste contexto\n{\"0\" : 1}");
}

TEST_F(ExprTest, SetOperatorsOnListsAndDictionaries) {
  EXPECT_EQ(value("[1, 2, 3] + [4]"), "[1, 2, 3, 4]");
  EXPECT_EQ(value("[1, 2, 3, 2] - [2]"), "[1, 3]");
  EXPECT_EQ(value("[1, 2, 3] * [3, 1]"), "[1, 3]");
  EXPECT_EQ(value("{\"a\":1, \"b\":2} + {\"b\":3}"), "{\"a\" : 1, \"b\" : 3}");
  EXPECT_EQ(value("{\"a\":1, \"b\":2} - {\"b\":2}"), "{\"a\" : 1}");
  EXPECT_EQ(value("{\"a\":1, \"b\":2} * {\"b\":2, \"a\":5}"), "{\"b\" : 2}");
  EXPECT_EQ(value("[1, [2]] = [1, [2]]"), "1");
  EXPECT_EQ(value("{\"a\":[1]} = {\"a\":[2]}"), "0");
}

TEST_F(ExprTest, MatchingOperators) {
  EXPECT_EQ(value("\"casamento\" =* \"casa\""), "1");
  EXPECT_EQ(value("\"casamento\" *= \"mento\""), "1");
  EXPECT_EQ(value("\"casamento\" *=* \"sam\""), "1");
  EXPECT_EQ(value("\"casa\" *=* \"\""), "0");
  EXPECT_EQ(value("[1, 2, 3] =* [1, 2]"), "1");
  EXPECT_EQ(value("[1, 2, 3] *= [2, 3]"), "1");
  EXPECT_EQ(value("[1, 2, 3] *=* [3, 1]"), "0");
  EXPECT_EQ(value("1 =* 1"), "inválido");
}

TEST_F(ExprTest, Selectors) {
  EXPECT_EQ(value("\"casa\"[2]"), "a");
  EXPECT_EQ(value("\"casa\"[4..1]"), "asac");
  EXPECT_EQ(value("\"casa\"[\"sa\"]"), "3");
  EXPECT_EQ(value("\"casa\"[9]"), "");
  EXPECT_EQ(value("\"casa\"[1, 3]"), "cs");
  EXPECT_EQ(value("[10, 20, 30][]"), "30");
  EXPECT_EQ(value("[10, 20, 30][5]"), "indefinido");
  EXPECT_EQ(value("[10, 20, 30][1..5]"), "[20, 30]");
  EXPECT_EQ(value("[10, 20, 30][2..0]"), "[30, 20, 10]");
  EXPECT_EQ(value("[10, 20, 30][\"1\"]"), "20");
  EXPECT_EQ(value("[10, 20, 30][0, 2]"), "[10, 30]");
  runInteractiveLine("D := {\"Nome\" : \"Ana\", 1 : \"um\"}");
  EXPECT_EQ(value("D.Nome"), "Ana");
  EXPECT_EQ(value("D[\"Nome\"]"), "Ana");
  EXPECT_EQ(value("D.NOME"), "indefinido");
  EXPECT_EQ(value("D[1]"), "um");
  EXPECT_EQ(value("D[\"1\"]"), "um");
  EXPECT_EQ(value("5[1]"), "inválido");
}

TEST_F(ExprTest, AssignmentSharesAndDuplicatesStaySeparate) {
  runInteractiveLine("L := [1, 2, 3]");
  runInteractiveLine("T := L");
  runInteractiveLine("T[0] := 9");
  EXPECT_EQ(value("L"), "[9, 2, 3]");
  runInteractiveLine("L[10] := 4");
  EXPECT_EQ(value("L"), "[9, 2, 3, 4]");
  EXPECT_EQ(value("L[-1] := 0"), "Índice inválido: \"-1\" para \"L[-1]\"");
  runInteractiveLine("L[1..2] := [7]");
  EXPECT_EQ(value("L"), "[9, 7, 4]");
}

TEST_F(ExprTest, IndexedAssignmentIntoDictionariesAndStrings) {
  runInteractiveLine("D := {}");
  runInteractiveLine("D.nome := \"Ana\"");
  runInteractiveLine("D[1..2] := 0");
  runInteractiveLine("D[\"x\"][\"y\"] := 5");
  EXPECT_EQ(value("D"), "{\"nome\" : \"Ana\", \"1\" : 0, \"2\" : 0, \"x\" : {\"y\" : 5}}");
  runInteractiveLine("S := \"casa\"");
  runInteractiveLine("S[1] := \"m\"");
  EXPECT_EQ(value("S"), "masa");
  runInteractiveLine("S[2..3] := 42");
  EXPECT_EQ(value("S"), "m**a");
  runInteractiveLine("S[4..1] := \"abcd\"");
  EXPECT_EQ(value("S"), "dcba");
  EXPECT_EQ(value("S[1] := [1]"), "Valor a ser atribuído é incompatível com uma cadeia");
  EXPECT_EQ(value("N := 5"), "");
  EXPECT_EQ(value("N[1] := 2"), "\"N[1]\" é do tipo \"inteiro\", não é indexável");
}

TEST_F(ExprTest, ContainerAssignedIntoItselfGetsACopy) {
  runInteractiveLine("L := [1]");
  runInteractiveLine("L[1] := L");
  EXPECT_EQ(value("L"), "[1, [1]]");
}

TEST_F(ExprTest, DeepNestingIsRefusedNotCrashing) {
  std::string deep(20000, '(');
  std::string out = value(deep + "1");
  EXPECT_NE(out.find("Expressão aninhada demais"), std::string::npos);
}

TEST_F(ExprTest, UninitialisedNamesAndMisuse) {
  EXPECT_EQ(value("(NADA + 1)"), "A variável \"NADA\" não foi inicializada\ninválido");
  EXPECT_EQ(value("(NADA(1))"), "A função \"NADA\" não foi definida\nindefinido");
  EXPECT_EQ(value("FUNCAO F"), "O comando \"FUNCAO\" não é válido no modo interativo");
  EXPECT_EQ(value("ENQUANTO 1"), "O comando \"ENQUANTO\" não é válido no modo interativo");
}

}  // namespace
}  // namespace varlo
