// List commands: sorting large and mixed lists, searching, appending, the
// memory limits and the object counters afterwards.
#include <gtest/gtest.h>

#include "script_fixture.h"

namespace varlo {
namespace {

class ListCommandsTest : public test::ScriptTest {
 protected:
  std::string error(int line, const std::string& message) {
    return "Erro no script TESTE.SCR, linha " + std::to_string(line) + ":\n" + message + "\n";
  }
};

// Fills L with n random numbers below limit.
std::string randomList(int n, int limit) {
  return "L := []\nREPETE I " + std::to_string(n) + "\nL[I - 1] := RAND(" + std::to_string(limit) +
         ")\nFIM REPETE\n";
}

const char* kOrderCheck =
    "OK := 1\n"
    "REPETE I TAMANHO(L) - 1\n"
    "  SE L[I - 1] COMPARA L[I] ENTAO OK := 0\n"
    "FIM REPETE\n"
    "SAIDA(OK)\nSAIDA(TAMANHO(L))\n";

std::string orderCheck(const char* wrongOrder) {
  std::string check = kOrderCheck;
  check.replace(check.find("COMPARA"), 7, wrongOrder);
  return check;
}

TEST_F(ListCommandsTest, LargeListsSortUpAndDownWithManyEqualValues) {
  EXPECT_EQ(output(randomList(20000, 50) + "ORDENA L\n" + orderCheck(">")), "1\n20000\n");
  EXPECT_EQ(output(randomList(20000, 100000) + "ORDENA L DECRESCENTE\n" + orderCheck("<")), "1\n20000\n");
  EXPECT_EQ(output("L := []\nREPETE I 5000\nL[I - 1] := 7\nFIM REPETE\nORDENA L\n" + orderCheck("<>")),
            "1\n5000\n");
}

TEST_F(ListCommandsTest, MixedValuesSortWithoutLosingAny) {
  // Lists and dictionaries compare as smaller than whatever they meet, so
  // the comparison is inconsistent: the sort must still keep every element.
  std::string script =
      "L := []\n"
      "REPETE I 3000\n"
      "  R := RAND(4)\n"
      "  SE R = 0 ENTAO L[I - 1] := RAND(100)\n"
      "  SE R = 1 ENTAO L[I - 1] := \"s\" + RAND(100)\n"
      "  SE R = 2 ENTAO L[I - 1] := [RAND(3)]\n"
      "  SE R = 3 ENTAO L[I - 1] := {\"k\" : 1}\n"
      "FIM REPETE\n"
      "FUNCAO CONTAGEM(L) : C\n"
      "  C := {}\n"
      "  PARA V EM L\n"
      "    T := TIPO(V)\n"
      "    SE TIPO(C[T]) = \"indefinido\" ENTAO C[T] := 0\n"
      "    C[T] := C[T] + 1\n"
      "  FIM PARA\n"
      "  RETORNA C\n"
      "FIM FUNCAO\n"
      "ANTES := CONTAGEM(L)\n"
      "ORDENA L NUMERICO MAIUSC\n"
      "SAIDA(TAMANHO(ANTES))\n"
      "SAIDA(CONTAGEM(L) = ANTES)\n"
      "SAIDA(TAMANHO(L))\n";
  EXPECT_EQ(output(script), "4\n1\n3000\n");
  EXPECT_EQ(objectCounters().objects, 0);
}

TEST_F(ListCommandsTest, SortingStringsByTheirBytesOrFolded) {
  EXPECT_EQ(output("L := [\"b\", \"B\", \"á\", \"a\", \"A\"]\nORDENA L\nSAIDA(L)\n"), "[A, B, a, b, á]\n");
  EXPECT_EQ(output("L := [\"b\", \"Á\", \"c\"]\nORDENA L MAIUSC\nSAIDA(L)\n"), "[b, c, Á]\n");
  EXPECT_EQ(output("L := [\"10\", 9, \"8\"]\nORDENA L\nSAIDA(L)\nORDENA L NUMERICO\nSAIDA(L)\n"),
            "[10, 8, 9]\n[8, 9, 10]\n");
}

TEST_F(ListCommandsTest, SearchOperandsAreChecked) {
  EXPECT_EQ(output("PROCURA P 5 0 1\n"), error(1, "O segundo argumento deveria ser uma LISTA"));
  EXPECT_EQ(output("L := [1]\nPROCURA P L \"x\" 1\n"), error(2, "O terceiro argumento deveria ser a posição na lista"));
  EXPECT_EQ(output("L := [[1]]\nPROCURA P L 0 ([1])\n"),
            error(2, "O comando PROCURA busca apenas inteiros ou cadeias na lista"));
  EXPECT_EQ(output("L := [1]\nPROCURA P L 0 1 PARCIAL\n"),
            error(2, "Os modificadores PARCIAL ou MAIUSC aplicam-se apenas à busca de cadeias na lista"));
  EXPECT_EQ(output("L := [\"ab\", 1, \"xAb\"]\nPROCURA P L 1 \"AB\" PARCIAL MAIUSC\nSAIDA(P)\n"
                   "PROCURA P L 99 1\nSAIDA(P)\n"),
            "2\n-1\n");
}

TEST_F(ListCommandsTest, AppendingCopiesWhatWouldMakeAListHoldItself) {
  EXPECT_EQ(output("L := [1]\nANEXA L L\nANEXA L L\nSAIDA(L)\nM := [L]\nANEXA L M\nSAIDA(TAMANHO(L))\n"
                   "SAIDA(L[4])\n"),
            "[1, 1, 1, 1]\n5\n[1, 1, 1, 1]\n");
  // Nothing refers to the values any more once the script is gone: no
  // list was left holding itself.
  EXPECT_EQ(objectCounters().objects, 0);
  EXPECT_EQ(objectCounters().listCells, 0);
  EXPECT_EQ(output("L := 1\nANEXA L ([2])\n"), error(2, "O comando ANEXA espera listas como argumentos"));
}

TEST_F(ListCommandsTest, ListsBeyondTheMemoryLimitAreRefused) {
  ValueLimits saved = valueLimits();
  ValueLimits small = saved;
  small.maxListLength = 1000;
  setValueLimits(small);
  std::string out = output("L := [1..600]\nANEXA L L\nSAIDA(TAMANHO(L))\n");
  setValueLimits(saved);
  EXPECT_EQ(out.substr(0, out.find('\n') + 1), "Erro no script TESTE.SCR, linha 2:\n");
  EXPECT_NE(out.find("Memória insuficiente"), std::string::npos) << out;
  EXPECT_EQ(objectCounters().objects, 0);
}

TEST_F(ListCommandsTest, SortNeedsAList) {
  EXPECT_EQ(output("X := \"ba\"\nORDENA X DECRESCENTE\n"), error(2, "Esperava uma lista para ordenar"));
}

}  // namespace
}  // namespace varlo
