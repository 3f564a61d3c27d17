// Pre-analysed lines: every script runs once reading its tokens and once
// from plans, and both runs must print the same; lines whose names change
// meaning between runs must follow the change.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "script/plan.h"
#include "script_fixture.h"

namespace varlo {
namespace {

class PlanTest : public test::ScriptTest {
 protected:
  void TearDown() override {
    setLinePlans(true);
    test::ScriptTest::TearDown();
  }

  // The output read from tokens and from plans (which must be used) must
  // agree; the output is returned for the cases that check it as well.
  std::string both(std::string_view text) {
    setLinePlans(false);
    resetInterpreter();
    std::string read = output(text);
    setLinePlans(true);
    resetInterpreter();
    uint64_t before = plannedLines();
    std::string planned = output(text);
    EXPECT_GT(plannedLines(), before) << "no line ran from a plan";
    EXPECT_EQ(planned, read);
    return planned;
  }

  // Under each step limit, the run from plans must stop at the same line,
  // with the same values so far, as the run from tokens.
  void sameUnderStepLimits(const std::string& text, std::initializer_list<uint64_t> limits) {
    for (uint64_t limit : limits) {
      setLinePlans(false);
      resetInterpreter();
      setStepLimit(limit);
      std::string read = output(text);
      setLinePlans(true);
      resetInterpreter();
      setStepLimit(limit);
      std::string planned = output(text);
      setStepLimit(0);
      EXPECT_EQ(planned, read) << "limit " << limit;
    }
  }

  // A script file on disk for CHAMA SCRIPT and IMPORTA.
  std::string writeFile(const std::string& name, const std::string& text) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "varlo-plan-test";
    std::filesystem::create_directories(dir);
    std::filesystem::path path = dir / name;
    std::ofstream(path) << utf8ToCp1252(text);
    return path.string();
  }
};

TEST_F(PlanTest, ArithmeticComparisonsAndTheirComplaints) {
  both("PARA I DE -2 ATE 2\n"
       "  X := (I * 7 + 3) % 4 - I / 2 ^ 2\n"
       "  Y := 10 / I + 10 % I\n"
       "  SAIDA([\"1\" + I, \"a\" + I, I = \"0\", \"b\" > I, 2 ^ 31, 2 ^ I])\n"
       "  SAIDA([X, Y, I < 1, I <= 0, I <> 1, -I, |I|])\n"
       "  SAIDA(NINGUEM + 1)\n"
       "FIM PARA\n");
  std::string out = both("I := 0\nENQUANTO I < 3\n  X := 7 / I\n  SAIDA(X)\n  I := I + 1\nFIM ENQUANTO\n");
  EXPECT_EQ(out,
            "Erro no script TESTE.SCR, linha 3:\nDivisão por ZERO evitada\n7\n7\n3\n");
}

TEST_F(PlanTest, ComparisonsAndRangesTakeNoSecondOperatorOfTheirLevel) {
  // A < B < C ends after B, and a range in a list ends its element, on
  // planned lines as on read ones.
  std::string out = both("PARA I DE 1 ATE 3\n"
                         "  SAIDA([I..I + 2, I * 2..4])\n"
                         "  X := I < 2 = 1\n"
                         "  SAIDA(I = 1 E 2 < 3 OU I > 2)\n"
                         "FIM PARA\n");
  EXPECT_NE(out.find("[1, 2, 3, 2, 3, 4]"), std::string::npos) << out;
  EXPECT_NE(out.find("deveria terminar onde aparece \"=\""), std::string::npos) << out;
}

TEST_F(PlanTest, IntegerArithmeticFallsBackOnOtherValues) {
  // The same lines meet integers and other values, divisors of 0 and -1,
  // loop variables and trees too deep to stack; each must give what the
  // general rules give.
  std::string out = both("PARA V EM [3, \"10a\", 7, \"\", 2147483647]\n"
                         "  X := V + 5 + 0\n"
                         "  SE V = 7 ENTAO SAIDA(\"sete\")\n"
                         "  SAIDA(X)\n"
                         "FIM PARA\n"
                         "PARA D EM [2, 0, -1, -2147483648]\n"
                         "  SAIDA(-2147483648 / D + 7 % D * (D - 1))\n"
                         "FIM PARA\n");
  EXPECT_NE(out.find("10a50"), std::string::npos) << out;
  EXPECT_NE(out.find("Divisão por ZERO evitada"), std::string::npos) << out;
  std::string deep = "1";
  for (int i = 0; i < 40; ++i) deep = "K + (" + deep + ")";
  out = both("PARA K DE 3 ATE -3 DECRESCENDO\n"
             "  Y := K * K - K % 3 + 2 * K\n"
             "  W := " + deep + "\n"
             "  SAIDA([Y, W])\n"
             "FIM PARA\n");
  EXPECT_EQ(out, "[15, 121]\n[6, 81]\n[2, 41]\n[0, 1]\n[0, -39]\n[2, -79]\n[3, -119]\n");
}

TEST_F(PlanTest, QuickLinesGiveWayToTheGeneralRules) {
  // Integer assignments, conditions and loop ends run with little of the
  // driver's bookkeeping; a target holding a string or list, a condition
  // meeting a string and the trace must all behave as the token readers do.
  std::string out = both("X := \"texto\"\nL := [1, 2]\nC := 0\nN := 0\n"
                         "PARA I DE 0 ATE 5\n"
                         "  SE I = 2 ENTAO X := [I]\n"
                         "  X := I * 2\n"
                         "  SE I = 3 ENTAO L := \"3\"\n"
                         "  ENQUANTO C < L\n"
                         "    C := C + 1\n"
                         "  FIM ENQUANTO\n"
                         "  SE C - 3\n"
                         "    N := N + C\n"
                         "  SENAO SE I % 2 ENTAO\n"
                         "    N := N - 1\n"
                         "  SENAO\n"
                         "    N := N * 2\n"
                         "  FIM SE\n"
                         "  SAIDA([X, C, N])\n"
                         "FIM PARA\n");
  EXPECT_EQ(objectCounters().objects, 0) << "a value overwritten by a number was not released";
  // Lines that keep meeting other values stop trying the quick way.
  EXPECT_EQ(both("PARA I DE 1 ATE 80\n  SE I < 50 ENTAO X := \"a\"\n  SE I = 50 ENTAO X := 0\n  X := X + I\n"
                 "  SE X > 1 ENTAO Y := I\nFIM PARA\nSAIDA([X, Y])\n"),
            "[2015, 80]\n");
  out = both("I := 0\nENQUANTO I < 4\n  SE I = 2 ENTAO DEBUG\n  I := I + 1\nFIM ENQUANTO\nSAIDA(I)\n");
  EXPECT_NE(out.find("  I := I + 1\nFIM ENQUANTO\nENQUANTO I < 4\n"), std::string::npos) << out;
}

TEST_F(PlanTest, LoopsOfQuickLinesRunInWholeRounds) {
  // A loop whose lines are all quick runs round after round without the
  // driver; a line inside that gives way mid-round (a text element), a
  // loop in a function's frame and one too long for a round of its own
  // must end as the token readers end them, also when the step limit
  // stops them part way.
  const std::string text =
      "L := [0, 0, 0, 0]\nX := 0\nPARA R DE 1 ATE 3\n  I := 0\n"
      "  ENQUANTO I < 100\n    J := I % 4\n    X := X + L[J] * 2\n    L[J] := I\n    I := I + 1\n"
      "  FIM ENQUANTO\n  L[2] := \"5\"\nFIM PARA\nSAIDA([X, L])\n"
      "FUNCAO F(N)\n  LOCAL K := 0\n  LOCAL S := 0\n  ENQUANTO K < N\n    S := S + K * N\n"
      "    K := K + 1\n  FIM ENQUANTO\n  RETORNA S\nFIM FUNCAO\n"
      "A := F(10)\nB := F(300)\nSAIDA([A, B])\n"
      "T := 0\nPARA V EM [1, 2, \"3\", 4, 5, 6]\n  T := T + V * 2\nFIM PARA\n"
      "PARA Q DE 300 ATE 1 DECRESCENDO\n  T := T - Q\n  SE Q = 7 ENTAO T := T * 2\nFIM PARA\nSAIDA(T)\n";
  EXPECT_EQ(both(text), "[28548, [96, 97, 5, 99]]\n[450, 13455000]\n-90195\n");
  sameUnderStepLimits(text, {8, 9, 10, 11, 12, 40, 41, 255, 256, 257, 258, 1001, 1002, 1003, 1004, 1005, 2000, 2001,
                             2002, 2003, 2004, 2005, 2006, 2007, 2008, 2009, 2010, 2100, 2101});
  both("X := 0\nPARA K DE 0 ATE 15\n  X := X + 0\nFIM PARA\nI := 0\n"
       "A0 := 0\nA1 := 0\nA2 := 0\nA3 := 0\nA4 := 0\nA5 := 0\nA6 := 0\nA7 := 0\n"
       "A8 := 0\nA9 := 0\nA10 := 0\nA11 := 0\nA12 := 0\nA13 := 0\nA14 := 0\nA15 := 0\n"
       "ENQUANTO I < 50\n" "  A0 := A0 + I\n""  A1 := A1 + I\n""  A2 := A2 + I\n""  A3 := A3 + I\n""  A4 := A4 + I\n""  A5 := A5 + I\n""  A6 := A6 + I\n""  A7 := A7 + I\n""  A8 := A8 + I\n""  A9 := A9 + I\n""  A10 := A10 + I\n""  A11 := A11 + I\n""  A12 := A12 + I\n""  A13 := A13 + I\n""  A14 := A14 + I\n""  A15 := A15 + I\n"
       "  I := I + 1\nFIM ENQUANTO\nSAIDA([I, A0, A15])\n");
}

TEST_F(PlanTest, ListElementsInQuickArithmetic) {
  // Elements read inside integer arithmetic and integers stored by index:
  // texts, indexes out of range or negative, growing at the end, a
  // dictionary or text where a list was and the list walked by PARA must
  // give what the full rules give.
  both("L := [4, \"7\", 2, 0, 0, 0, 0, 0, 0]\nS := 0\nJ := 0\nM := -1\n"
       "PARA I DE 0 ATE 8\n"
       "  K := I + 5\n"
       "  SAIDA([L[I] * 2 + 1, L[J] + L[I], L[K] - 1, L[M] + 1, L[0] + 1])\n"
       "  SE L[J] > 1 ENTAO S := S + L[J]\n"
       "  L[I + 1] := I * 3 % 5\n"
       "  SE I = 4 ENTAO L[2] := \"x\"\n"
       "  J := 8 - I\n"
       "  SAIDA([S, L])\n"
       "FIM PARA\n");
  both("T := 0\nPARA V EM [1, \"2\", 3, 4, [4], 5]\n  T := T * 10 + V\n  SAIDA(T)\nFIM PARA\n");
  both("L := [1, 2]\nPARA I DE 0 ATE 3\n  SE I = 2 ENTAO L := {\"0\" : 5}\n  SE I = 3 ENTAO L := \"abc\"\n"
       "  X := L[0] + 1\n  L[1] := X\n  SAIDA([X, L])\nFIM PARA\n");
  EXPECT_EQ(objectCounters().objects, 0);
  EXPECT_EQ(objectCounters().listCells, 0);
}

TEST_F(PlanTest, QuickLinesMeetingAnIterator) {
  // The same planned lines store into a variable that later runs a PARA:
  // each must refuse as the full rules do.
  const char* bodies[] = {"  K[0] := N\n", "  K := N + 1\n", "  SE N > 0 ENTAO K := N\n"};
  const char* loops[] = {"PARA K EM [7, 8]\n", "PARA K DE 7 ATE 8\n"};
  for (const char* body : bodies) {
    for (const char* loop : loops) {
      std::string out = both(std::string("FUNCAO F(N)\n") + body + "  SAIDA(K)\nFIM FUNCAO\n" +
                             "K := [0]\nF(1)\nF(2)\nF(3)\n" + loop + "  F(K)\nFIM PARA\n");
      EXPECT_NE(out.find("Tentativa de modificar o iterador K"), std::string::npos) << body << out;
    }
  }
}

TEST_F(PlanTest, TheStepLimitStopsRunsOfQuickLinesAtTheSameLine) {
  // Quick lines that follow each other run together while the check before
  // each line has nothing to do; the limit must still stop the script
  // before the same line, with the same values so far.
  const std::string text = "I := 0\nS := 0\nENQUANTO I < 100\n  S := S + I\n  SE S > 50 ENTAO S := S - 50\n"
                           "  I := I + 1\nFIM ENQUANTO\n";
  sameUnderStepLimits(text + "SAIDA(S)\n", {3, 9, 10, 11, 12, 13, 257, 258, 259, 260, 261});
}

TEST_F(PlanTest, WordOperatorsEndTheExpressionAfterOtherValues) {
  // E and OU count only after 0 or 1: elsewhere the line ends at the word.
  std::string out = both("PARA I EM [0, 1, 2]\n"
                         "  X := I E 1 OU 0\n"
                         "  SAIDA(X)\n"
                         "  SE I OU 0 ENTAO SAIDA(\"sim\")\n"
                         "  SE 1 = 1 E I ENTAO\n"
                         "    SAIDA(\"bloco\")\n"
                         "  FIM SE\n"
                         "  Y := 0 OU I E 1\n"
                         "  SAIDA(Y)\n"
                         "FIM PARA\n");
  EXPECT_NE(out.find("A linha deveria terminar onde aparece \"E\""), std::string::npos);
  both("FUNCAO F(N)\n  RETORNA N\nFIM FUNCAO\nPARA I EM [1, 2, 1]\n  F(I) E 1\n  RETORNA F(I) OU 0\nFIM PARA\n");
}

TEST_F(PlanTest, WordOperatorsInLongerChains) {
  // E binds closer than OU; the word where a chain ends early depends on
  // every value before it, and an OU whose right side ended still applies.
  std::string out = both("PARA A EM [0, 1, 2]\n"
                         "  PARA B EM [0, 1, 2]\n"
                         "    PARA C EM [1, 3]\n"
                         "      X := A E B OU C E 1 OU 0 E A\n"
                         "      SAIDA([A, B, C, X])\n"
                         "    FIM PARA\n"
                         "  FIM PARA\n"
                         "FIM PARA\n");
  EXPECT_NE(out.find("[2, 1, 3, 2]"), std::string::npos) << out;
}

TEST_F(PlanTest, CallsOfAWholeLineComputedInPlace) {
  // A call that is the whole value of an assignment, with arguments that
  // are themselves calls, counts its lines as the calls would, also under
  // the step limit and with the trace on.
  const std::string text = "FUNCAO MISTURA(A, B)\n  RETORNA A - B * 3\nFIM FUNCAO\n"
                           "X := 0\nPARA I DE 1 ATE 40\n  X := MISTURA(X, MISTURA(I, 1))\n"
                           "  SE I = 30 ENTAO DEBUG\nFIM PARA\nSAIDA(X)\n";
  std::string out = both(text);
  EXPECT_NE(out.find("  X := MISTURA(X, MISTURA(I, 1))\nFUNCAO MISTURA(A, B)\n  RETORNA A - B * 3\n"),
            std::string::npos)
      << out;
  sameUnderStepLimits(text, {9, 10, 11, 12, 13, 50, 51, 52, 53, 54, 55});
}

TEST_F(PlanTest, LiteralsSelectorsAndIndexedAssignment) {
  both("L := []\nD := {}\nS := \"casa\"\n"
       "PARA I DE 0 ATE 4\n"
       "  L[I] := [I..1, 7][I]\n"
       "  D.nome := {\"a\" : I, 5, 3 : \"x\", \"y\"}\n"
       "  D[I, \"k\"] := -\"abc\" + S[I + 1] + S[4..1] + S[\"sa\"]\n"
       "  SAIDA([L, D, +L, >L, <L, *[2, 3], L[], L[1..2], |D|, D.nome.a])\n"
       "  M := [1, \"a\"..2]\n"
       "  SAIDA(L[\"x\"] + D.falta)\n"
       "FIM PARA\n");
}

TEST_F(PlanTest, OneIndexOnListsAndOtherValues) {
  // A single index read or stored takes a short way on lists of numbers;
  // everything else (holes, text indexes, strings, dictionaries, values
  // holding their own list, the list being walked, bad indexes) must still behave as
  // the full selector does.
  both("L := [5, 6]\nD := {}\nS := \"abcdef\"\n"
       "PARA I DE 0 ATE 4\n"
       "  L[I + 1] := I * 10\n"
       "  L[\"1\"] := L[\"0\"]\n"
       "  D[I] := L[I]\n"
       "  S[I + 1] := \"z\"\n"
       "  L[I] := \"t\" + I\n"
       "  K := \"\" + I\n"
       "  SAIDA([L[I], L[-1], L[9], L[\"x\"], L[K], L[NOVO], S[I], S[K], D[I], L])\n"
       "FIM PARA\n"
       "P := [1]\nPARA I DE 1 ATE 2\n  P[I] := P\n  SAIDA(P)\nFIM PARA\n");
  both("L := [1, 2, 3]\nPARA V EM L\n  L[0] := V + L[2]\n  L[3] := V\n  SAIDA(L)\nFIM PARA\n");
  std::string out = both("L := [1, 2]\nPARA I DE 3 ATE -1 DECRESCENDO\n  L[I] := 3\n  SAIDA(L)\nFIM PARA\n");
  EXPECT_NE(out.find("Índice inválido: \"-1\" para \"L[-1]\""), std::string::npos) << out;
  out = both("N := [0]\nPARA I DE 1 ATE 4\n  SE I = 4 ENTAO N := 4\n  SAIDA(N[0])\n  N[0] := I\nFIM PARA\n");
  EXPECT_NE(out.find("\"N[0]\" é do tipo \"inteiro\", não é indexável"), std::string::npos) << out;
}

TEST_F(PlanTest, OneKeyOnDictionaries) {
  // A single key read or stored takes a short way on dictionaries; integer
  // keys are their text, other indexes (ranges, lists, undefined, invalid)
  // and values that would hold the dictionary itself take the full path.
  std::string out = both("D := {}\nL := [\"lista\"]\n"
                         "PARA I DE 0 ATE 3\n"
                         "  K := \"k\" + I % 2\n"
                         "  SE D[K] = INDEFINIDO ENTAO D[K] := 0\n"
                         "  D[K] := D[K] + 1\n"
                         "  D[I] := \"v\" + I\n"
                         "  D[\"\" + I] := D[I] + D[K]\n"
                         "  SAIDA([D[K], D[I], D[\"nada\"], D[0..I], D[L], D[INDEFINIDO]])\n"
                         "  SE I = 2 ENTAO D[\"eu\"] := D\n"
                         "  D[L] := [I]\n"
                         "FIM PARA\n"
                         "SAIDA(D)\n");
  EXPECT_NE(out.find("\"eu\" : {"), std::string::npos) << out;
  both("D := {1 : 2}\nPARA I DE 0 ATE 2\n  SE I = 2 ENTAO D[NINGUEM] := 1\n  SAIDA(D[I])\nFIM PARA\n");
  both("D := {1 : 2}\nPARA I DE 0 ATE 2\n  SE I = 2 ENTAO SAIDA(D[NINGUEM])\n  D[I] := I\nFIM PARA\n");
  out = both("PARA C EM {\"a\" : 1, \"b\" : 2, \"c\" : 3}\n  SE C = \"c\" ENTAO C[\"x\"] := 2\n  SAIDA(C)\nFIM PARA\n");
  EXPECT_NE(out.find("Tentativa de modificar o iterador C"), std::string::npos) << out;
}

TEST_F(PlanTest, AssignmentAfterAOneLineIf) {
  std::string out = both("L := [0, 0]\nS := 0\nT := 0\n"
                         "PARA I DE 0 ATE 5\n"
                         "  SE I > 1 ENTAO S := S + I\n"
                         "  SE I % 2 = 0 L[I % 2] := L[0] + I\n"
                         "  SE I = 3 ENTAO T := I E 1\n"
                         "  SE I > 1 E I < 4 ENTAO S := S + 100\n"
                         "  SAIDA([S, L, T])\n"
                         "FIM PARA\n");
  EXPECT_NE(out.find("A linha deveria terminar onde aparece \"E\""), std::string::npos) << out;
  // A local declared later hides the target; a call in the condition
  // leaves the assignment to the token readers; an iterator refuses it.
  EXPECT_EQ(both("G := 1\nFUNCAO F(K)\n  SE K > 0 ENTAO G := K\n  SAIDA(G)\n"
                 "  SE K < 3 ENTAO RETORNA\n  LOCAL G := 0\nFIM FUNCAO\n"
                 "PARA I DE 1 ATE 4\n  F(I)\nFIM PARA\nSAIDA(G)\n"),
            "1\n2\n3\n4\n3\n");
  both("FUNCAO G(N)\n  RETORNA N\nFIM FUNCAO\nPARA I DE 1 ATE 3\n  SE G(I) > 1 ENTAO X := I\n  SAIDA(X)\nFIM PARA\n");
  both("PARA V EM [1, 2, 3]\n  SE V > 2 ENTAO V := 0\n  SAIDA(V)\nFIM PARA\n");
}

TEST_F(PlanTest, CallsWithTheirArgumentRules) {
  // F named without parentheses runs with no arguments: its parameters
  // read as undefined, not as entries below its frame.
  both("FUNCAO F(A, B)\n  RETORNA [A, B]\nFIM FUNCAO\n"
       "FUNCAO Q(N)\n  SE N <= 0 ENTAO RETORNA 0\n  RETORNA N + Q(N - 1)\nFIM FUNCAO\n"
       "L := [1, 2, 3]\n"
       "PARA I DE 1 ATE 3\n"
       "  SAIDA(F(I))\n"
       "  SAIDA(F(I, I, I))\n"
       "  SAIDA(F(I 2))\n"
       "  SAIDA(F(,))\n"
       "  SAIDA(TAMANHO L + 1)\n"
       "  SAIDA(F)\n"
       "  SAIDA(NADA(I))\n"
       "  SAIDA(Q(I * 10))\n"
       "  F(I)\n"
       "  X := DUPLICA(L) + INDEFINIDO\n"
       "FIM PARA\n");
}

TEST_F(PlanTest, LoopsAndBlocks) {
  both("PARA I DE 1 ATE 4\n"
       "  SE I = 1\n    SAIDA(\"um\")\n  SENAO SE I = 2 ENTAO\n    CONTINUA\n"
       "  SENAO\n    SAIDA(I)\n  FIM SE\n"
       "  PARA C EM \"ab\"\n    SAIDA(C)\n  FIM PARA\n"
       "  PARA K EM {\"x\" : 1}\n    SAIDA(K)\n  FIM PARA\n"
       "  PARA J DE I A 1 DECRESCENDO FACA\n    SE J = 2 ENTAO QUEBRA\n    SAIDA(J)\n  FIM PARA\n"
       "  PARA V EM []\n    SAIDA(\"nunca\")\n  FIM PARA\n"
       "  REPETE R 2\n    SAIDA(R)\n  FIM REPETE\n"
       "FIM PARA\n"
       "N := 0\nENQUANTO N < 3 FACA\n  N := N + 1\nFIM ENQUANTO\nSAIDA(N)\n");
  both("PARA I DE 1 ATE 3\n  SAIDA(I)\n  SE I = 3 ENTAO I := 5\nFIM PARA\n");
  both("PARA I DE 1 ATE 3\n  PARA X DE I ATE \"3\"\n  FIM PARA\n  SE I = 3 ENTAO Y := \"a\"\n  PARA X DE Y ATE 3\n  FIM PARA\nFIM PARA\n");
}

TEST_F(PlanTest, FunctionsParametersAndReturns) {
  both("FUNCAO F(ESCREVE)\nFIM FUNCAO\nPARA I DE 1 ATE 3\n  X := F(1)\nFIM PARA\n");
  both("FUNCAO G(A, B)\n  SE A ENTAO RETORNA\n  RETORNA FUNCAO\nFIM FUNCAO\n"
       "FUNCAO H()\nFIM FUNCAO\n"
       "PARA I DE 0 ATE 3\n  SAIDA(G(I % 2))\n  SAIDA(H())\n  SAIDA(H(I))\nFIM PARA\n");
}

TEST_F(PlanTest, QuickEntriesAndReturnsOfFunctions) {
  // FUNCAO and RETORNA run as quick lines when they can: recursion, values
  // other than integers, returns from inside loops, a RETORNA that ends a
  // CHAMA rather than a function, and bodies passed over by the flow.
  std::string out = both("FUNCAO FIB(N)\n  SE N < 2 ENTAO RETORNA N\n  RETORNA FIB(N - 1) + FIB(N - 2)\nFIM FUNCAO\n"
                         "FUNCAO G(V, W)\n  RETORNA V\nFIM FUNCAO\n"
                         "FUNCAO ACHA(N)\n  PARA K DE 1 ATE 9\n    SE K * K >= N\n      RETORNA K\n    FIM SE\n"
                         "  FIM PARA\n  RETORNA\nFIM FUNCAO\n"
                         "PARA I EM [1, 2, \"a\", [3], 40, 90, 100]\n"
                         "  SAIDA([FIB(6), G(I), G(I, I), ACHA(I), K])\n"
                         "  CHAMA @SUB\n"
                         "FIM PARA\n"
                         "TERMINA\n"
                         "@SUB:\n"
                         "SAIDA(\"sub\")\n"
                         "RETORNA 5\n");
  EXPECT_NE(out.find("[8, 40, 40, 7, 7]"), std::string::npos) << out;
  EXPECT_EQ(both("X := 0\n@VOLTA:\nFUNCAO P(A)\n  RETORNA A + 1\nFIM FUNCAO\nX := P(X)\nSAIDA(X)\n"
                 "SE X < 4 ENTAO DESVIA @VOLTA\n"),
            "1\n2\n3\n4\n");
}

TEST_F(PlanTest, ReturnAfterAOneLineIf) {
  // RETORNA after ENTAO with a value, with none, with FUNCAO, with words
  // left over, after a condition that is not an integer, and ending a
  // CHAMA rather than a function: the same values and complaints.
  const std::string text =
      "FUNCAO F(N)\n  SE N < 2 ENTAO RETORNA N * 10\n  SE N = 2 ENTAO RETORNA\n"
      "  SE N = 3 ENTAO RETORNA FUNCAO\n  SE N = 4 ENTAO RETORNA \"q\" + N\n"
      "  SE N = 5 ENTAO RETORNA 1 E 0\n  SE N = 6 ENTAO RETORNA 1 2\n  SE N ENTAO RETORNA [N]\n"
      "  RETORNA -1\nFIM FUNCAO\n"
      "PARA I EM [0, 1, 2, 3, 4, 5, 6, 7, \"8\", \"\", [9]]\n"
      "  SAIDA(F(I))\n  CHAMA @SUB\nFIM PARA\n"
      "TERMINA\n@SUB:\nSE 1 ENTAO RETORNA 5\n";
  std::string out = both(text);
  EXPECT_EQ(out.substr(0, 30), "0\n10\nindefinido\nindefinido\nq4\n") << out;
  sameUnderStepLimits(text, {5, 6, 7, 8, 30, 31, 32, 33});
}

TEST_F(PlanTest, CallsEnteredStraightKeepTheLineChecks) {
  // A call whose FUNCAO line has a quick plan starts the body without the
  // driver; every line of it must still count towards the step limit and
  // stop at the same line, and calls with the wrong arguments must meet
  // the same complaints.
  const std::string text = "FUNCAO Q(N)\n  RETORNA N * N\nFIM FUNCAO\nS := 0\nPARA I DE 1 ATE 200\n"
                           "  S := S + Q(I)\nFIM PARA\nSAIDA(S)\n";
  sameUnderStepLimits(text, {6, 7, 8, 9, 255, 256, 257, 258, 259, 300, 301});
  // Too few, too many and no parentheses: the same complaints and values.
  both("FUNCAO F(A, B)\n  RETORNA A + B\nFIM FUNCAO\nPARA I DE 1 ATE 3\n  SAIDA(F(I))\n"
       "  SAIDA(F(I, 1, 2))\n  SAIDA(F I)\n  SAIDA(F(I, 1))\nFIM PARA\n");
  // Recursion without end meets the same overflow either way.
  std::string deep = both("FUNCAO D(N)\n  RETORNA D(N + 1)\nFIM FUNCAO\nSAIDA(D(1))\nSAIDA(\"depois\")\n");
  EXPECT_NE(deep.find("Estouro na pilha de chamadas"), std::string::npos) << deep;
}

TEST_F(PlanTest, CallsInsideIntegerArithmetic) {
  // Arithmetic around a call runs on plain integers until a value is not
  // one; from there the rest of the line goes the usual way with what was
  // computed, since the call cannot be made again. Reads before the call
  // keep the value they had, names the callee creates are seen after it,
  // and the complaints come after the call as they would.
  const std::string text =
      "FUNCAO F(N)\n  G := G + N\n  SE N = 3 ENTAO RETORNA \"tres\"\n"
      "  SE N = 4 ENTAO Z := 10\n  SE N = 5 ENTAO RETORNA [N]\n  RETORNA N * 2\nFIM FUNCAO\n"
      "FUNCAO H()\n  RETORNA 0\nFIM FUNCAO\n"
      "G := 0\n"
      "PARA I DE 1 ATE 6\n"
      "  X := G + F(I) + G\n  SAIDA(X)\n"
      "  SAIDA(F(I) + Z)\n"
      "  SAIDA(10 / H() + F(I))\n"
      "  SAIDA(F(I) % (I - 2) * 3)\n"
      "  SE F(I) > 6 E I < 6 ENTAO SAIDA(\"grande\")\n"
      "  SAIDA(F(I, I) + 1)\n"
      "  SAIDA(NAOHA(I) + 1)\n"
      "  SAIDA(F(F2) - 1)\n"
      "  SAIDA(1 + F(H) * 2)\n"
      "FIM PARA\n"
      "SAIDA(G)\n";
  std::string out = both(text);
  EXPECT_NE(out.find("Divisão por ZERO"), std::string::npos) << out;
  sameUnderStepLimits(text, {12, 13, 14, 15, 16, 40, 41, 42, 255, 256, 257});
  // Recursion through arithmetic meets the same overflow either way.
  std::string deep = both("FUNCAO D(N)\n  RETORNA 1 + D(N + 1)\nFIM FUNCAO\nSAIDA(D(1))\nSAIDA(\"depois\")\n");
  EXPECT_NE(deep.find("Estouro na pilha de chamadas"), std::string::npos) << deep;
}

TEST_F(PlanTest, TextGrownInPlaceLeavesItsSourcesAlone) {
  // A text joined to another grows in place only when nothing else holds
  // it: the variable it came from, a list element and the literal of the
  // line must keep their own text on every round.
  EXPECT_EQ(both("A := \"x\"\nL := [\"y\"]\nPARA I DE 1 ATE 3\n  B := A + I\n  C := L[0] + \"z\"\n"
                 "  D := \"p\" + I + \"q\" + B\n  E := \"1\" + I\n  SAIDA([A, B, C, D, E, L])\nFIM PARA\n"),
            "[x, x1, yz, p1qx1, 2, [y]]\n[x, x2, yz, p2qx2, 3, [y]]\n[x, x3, yz, p3qx3, 4, [y]]\n");
}

TEST_F(PlanTest, AFunctionHiddenByALocalDeclaredLater) {
  // The line is planned while G is the function; once F has declared a
  // local G, the same line must read that local instead.
  std::string out = both("FUNCAO G(N)\n  RETORNA N * 10\nFIM FUNCAO\n"
                         "FUNCAO F(K)\n"
                         "  X := G(K)\n"
                         "  SAIDA(X)\n"
                         "  SE K < 3 ENTAO DESVIA @FIM\n"
                         "  LOCAL G := 7\n"
                         "@FIM:\n"
                         "FIM FUNCAO\n"
                         "PARA I DE 1 ATE 4\n  F(I)\nFIM PARA\n");
  EXPECT_EQ(out.substr(0, 9), "10\n20\n30\n");
  EXPECT_NE(out.find(cp1252ToUtf8(cp("Expressão inválida; a variável \"X\""))), std::string::npos);
}

TEST_F(PlanTest, ASuperglobalHiddenByALocal) {
  EXPECT_EQ(both("$V := 1\n"
                 "FUNCAO F(K)\n"
                 "  SAIDA($V)\n"
                 "  SE K < 3 ENTAO RETORNA\n"
                 "  LOCAL $V := K * 100\n"
                 "  SAIDA($V)\n"
                 "FIM FUNCAO\n"
                 "PARA I DE 1 ATE 4\n  F(I)\nFIM PARA\n"
                 "SAIDA($V)\n"),
            "1\n1\n1\n300\nindefinido\n400\n1\n");
}

TEST_F(PlanTest, NamesOfImportedScripts) {
  std::string lib = writeFile("lib.scr", "FUNCAO TRIPLO(N)\n  RETORNA N * 3\nFIM FUNCAO\n");
  EXPECT_EQ(both("IMPORTA M \"" + lib + "\"\nPARA I DE 1 ATE 3\n  X := M.TRIPLO(I) + 1\n  SAIDA(X)\nFIM PARA\n"),
            "4\n7\n10\n");
}

TEST_F(PlanTest, CompiledLoopsReadTheFrameTheyRunIn) {
  // The inner loop runs compiled in a function's frame, then in the frames
  // of the calls below it, then again in the first frame: its names must
  // be read from the frame of each run.
  std::string text = "FUNCAO F(N, S, I, R)\n"
                     "  ENQUANTO R < 2\n"
                     "    I := 0\n"
                     "    ENQUANTO I < N * 40\n"
                     "      S := S + I % 7\n"
                     "      I := I + 1\n"
                     "    FIM ENQUANTO\n"
                     "    SE N > 0 ENTAO S := S + F(N - 1, 0, 0, 0)\n"
                     "    R := R + 1\n"
                     "  FIM ENQUANTO\n"
                     "  RETORNA S\n"
                     "FIM FUNCAO\n"
                     "SAIDA(F(4, 0, 0, 0))\n"
                     "L := [0, 0, 0]\n"
                     "PARA J DE 0 ATE 899\n"
                     "  L[J % 3] := L[J % 3] + J\n"
                     "  SE J = 600 ENTAO L[1] := \"x\"\n"
                     "FIM PARA\n"
                     "SAIDA(L)\n";
  std::string out = both(text);
  EXPECT_EQ(out.substr(0, 24), "6094\n[134550, x601604607") << out;
  EXPECT_EQ(out.substr(out.size() - 16), "895898, 135150]\n") << out;
  sameUnderStepLimits(text, {30, 31, 200, 255, 256, 257, 1000, 1001, 3000, 3001, 5000, 5003});
}

TEST_F(PlanTest, OneLineFunctionsComputedInPlace) {
  // Functions of one RETORNA on integers are computed without a frame; a
  // global that stops being an integer, the wrong number of arguments and a
  // full stack must give what the call gives.
  std::string text = "FUNCAO DOBRO(N)\n  RETORNA N * 2 + BASE\nFIM FUNCAO\n"
                     "FUNCAO SOMA3(A, B, C)\n  RETORNA A + B * C\nFIM FUNCAO\n"
                     "FUNCAO ITEM(N)\n  RETORNA L[N] + N\nFIM FUNCAO\n"
                     "BASE := 1\nL := [5, 6, 7]\nX := 0\n"
                     "PARA I DE 1 ATE 200\n"
                     "  X := (X + DOBRO(I % 10) + SOMA3(I, 2, 3) + ITEM(I % 3)) % 100000\n"
                     "  SE I = 150 ENTAO BASE := 1000\n"
                     "FIM PARA\n"
                     "SAIDA(X)\n"
                     "BASE := \"b\"\n"
                     "SAIDA(1 + DOBRO(4))\n"
                     "SAIDA(1 + SOMA3(1, 2))\n"
                     "SAIDA(1 + SOMA3(1, 2, 3, 4))\n";
  std::string out = both(text);
  EXPECT_NE(out.find("requer 3 parâmetros apenas"), std::string::npos) << out;
  sameUnderStepLimits(text, {20, 21, 22, 23, 24, 255, 256, 257, 600, 601, 602, 603});
  // A full stack: which of a line's two calls meets the end of the native
  // stack depends on the frames each way builds (and, under the sanitizers,
  // on where the stack happens to start), so the two ways may report the
  // overflow once or twice; each must report it and go on.
  std::string deep = "FUNCAO SOMA3(A, B, C)\n  RETORNA A + B * C\nFIM FUNCAO\n"
                     "FUNCAO DESCE(N)\n  RETORNA SOMA3(N, 1, 1) + DESCE(N + 1)\nFIM FUNCAO\n"
                     "SAIDA(DESCE(1))\nSAIDA(7)\n";
  for (bool plans : {false, true}) {
    setLinePlans(plans);
    resetInterpreter();
    std::string deepOut = output(deep);
    EXPECT_NE(deepOut.find("Estouro na pilha de chamadas"), std::string::npos) << deepOut;
    EXPECT_TRUE(deepOut.ends_with("indefinido\n7\n")) << deepOut;
  }
}

TEST_F(PlanTest, DictionaryElementsInArithmetic) {
  // Elements read by a text key in integer arithmetic, keys removed and
  // added again, values that are not integers, and the constants.
  std::string text = "D := {}\n"
                     "PARA I DE 1 ATE 120\n"
                     "  K := \"k\" + (I % 7)\n"
                     "  SE D[K] = INDEFINIDO ENTAO D[K] := 0\n"
                     "  D[K] := D[K] + I * VERDADEIRO + FALSO\n"
                     "  SE I % 13 = 0 ENTAO X := RETIRA(D, K)\n"
                     "  SE I = 90 ENTAO D[\"k2\"] := \"t\"\n"
                     "FIM PARA\n"
                     "T := 0\n"
                     "PARA K EM CHAVES(D)\n"
                     "  SAIDA(K + \"=\" + D[K])\n"
                     "  SE D[K] > T ENTAO T := D[K]\n"
                     "FIM PARA\n"
                     "SAIDA(T)\n"
                     "SAIDA(D[5] + 1)\n";
  both(text);
  sameUnderStepLimits(text, {50, 51, 52, 53, 400, 401, 402, 403});
}

TEST_F(PlanTest, ARunStoppedInsideALiteralReleasesWhatItBuilt) {
  // The step limit stops the script inside a call made while a line is
  // building its lists, dictionary, range and selection: the parts built
  // so far must be given back, read from tokens as from plans.
  const std::string text = "FUNCAO F(N)\n  M := [N, \"m\"]\n  RETORNA M\nFIM FUNCAO\n"
                           "PARA I DE 1 ATE 4\n"
                           "  L := [\"a\" + I, {\"k\" : [I], I : F(I)}, [\"b\"] + F(I), \"z\"..F(1)[0]]\n"
                           "  L[F(I)[0]] := [\"c\", F(I)]\n"
                           "FIM PARA\n";
  for (bool plans : {false, true}) {
    for (uint64_t limit = 6; limit <= 30; ++limit) {
      setLinePlans(plans);
      resetInterpreter();
      setStepLimit(limit);
      std::string out = output(text);
      setStepLimit(0);
      EXPECT_NE(out.find("Limite de passos"), std::string::npos) << out;
      EXPECT_EQ(objectCounters().objects, 0) << "limit " << limit << (plans ? " from plans" : " from tokens");
    }
  }
}

TEST_F(PlanTest, ObjectsAreAllReleased) {
  both("PARA I DE 1 ATE 5\n  L := [I, \"x\", {\"k\" : [I]}]\n  D := {I : L}\n  S := \"a\" + I\nFIM PARA\n");
  EXPECT_EQ(objectCounters().objects, 0);
  EXPECT_EQ(objectCounters().listCells, 0);
  EXPECT_EQ(objectCounters().dictNodes, 0);
}

}  // namespace
}  // namespace varlo
