// Built-in functions beyond the conformance script: MAP through user
// functions and lists that change, containers changed in place, the clock,
// chance and wrong arguments.
#include <gtest/gtest.h>

#include "script_fixture.h"

namespace varlo {
namespace {

class BuiltinTest : public test::ScriptTest {};

TEST_F(BuiltinTest, MapCallsFunctionsOfOneParameterOnCopies) {
  const char* functions =
      "FUNCAO MUDA(X)\n"
      "  X[0] := 99\n"
      "  RETORNA X\n"
      "FIM FUNCAO\n"
      "FUNCAO CRESCE(X)\n"
      "  L[TAMANHO(L)] := X\n"
      "  RETORNA X\n"
      "FIM FUNCAO\n"
      "FUNCAO DUAS(A, B)\n"
      "FIM FUNCAO\n";
  // The function gets a copy: the element itself stays as it was.
  EXPECT_EQ(output(std::string(functions) + "L := [[1], [2]]\nSAIDA(MAP(\"muda\", L))\nSAIDA(L)\n"),
            "[[99], [99]]\n[[1], [2]]\n");
  // A function that grows the list sees only the elements there at first.
  EXPECT_EQ(output(std::string(functions) + "L := [1, 2]\nSAIDA(MAP(\"CRESCE\", L))\nSAIDA(L)\n"),
            "[1, 2]\n[1, 2, 1, 2]\n");
  EXPECT_EQ(output(std::string(functions) + "SAIDA(TIPO(MAP(\"DUAS\", [1])))\nSAIDA(TIPO(MAP(\"NADA\", [1])))\n"
                                             "SAIDA(TIPO(MAP(\"TAMANHO\", 5)))\nSAIDA(MAP(\"TIPO\", []))\n"),
            "indefinido\nindefinido\nindefinido\n[]\n");
}

TEST_F(BuiltinTest, MapFindsFunctionsFromInsideAFunction) {
  EXPECT_EQ(output("FUNCAO DOBRO(X)\n  RETORNA X * 2\nFIM FUNCAO\n"
                   "FUNCAO TUDO(L)\n  RETORNA MAP(\"DOBRO\", L)\nFIM FUNCAO\n"
                   "SAIDA(TUDO([1, 2]))\n"),
            "[2, 4]\n");
}

TEST_F(BuiltinTest, ContainersChangeInPlaceAndNeverHoldThemselves) {
  EXPECT_EQ(output("L := [1]\nM := L\nINSERE(L, -5, 0)\nINSERE(L, 1, L)\nSAIDA(M)\n"
                   "D := {}\nINSERE(D, 1, \"um\")\nINSERE(D, \"1\", \"outro\")\nINSERE(D, [\"a\", \"b\"], D)\n"
                   "SAIDA(CHAVES(D))\nSAIDA(D.a)\n"),
            "[0, [0, 1], 1]\n[1, a, b]\n{\"1\" : \"outro\"}\n");
  EXPECT_EQ(objectCounters().objects, 0);
  EXPECT_EQ(output("SAIDA(TIPO(INSERE(5, 0, 1)))\nL := []\nSAIDA(TIPO(INSERE(L, 0)))\nSAIDA(L)\n"
                   "SAIDA(TIPO(INSERE(L, \"x\", 1)))\n"),
            "indefinido\nindefinido\n[]\nindefinido\n");
  EXPECT_EQ(output("L := [1, 2, 3]\nSAIDA(RETIRA(L, \"1\"))\nSAIDA(TIPO(RETIRA(L, -1)))\nSAIDA(L)\n"
                   "D := {\"7\" : \"x\"}\nSAIDA(RETIRA(D, 7))\nSAIDA(D)\nSAIDA(TIPO(RETIRA(3, 0)))\n"),
            "2\nindefinido\n[1, 3]\nx\n{}\nindefinido\n");
}

TEST_F(BuiltinTest, LargeDictionariesKeepTheirOrderThroughRemovalsAndReinsertions) {
  // Forty keys: past the size at which keys are found through an index.
  std::string script = "D := {}\nREPETE I 40\n  D[\"k\" + I] := I\nFIM REPETE\n"
                       "SAIDA(RETIRA(D, \"k1\") + RETIRA(D, \"k40\") + RETIRA(D, \"k20\"))\n"
                       "SAIDA(TIPO(RETIRA(D, \"k20\")))\n"
                       "D.k20 := \"de volta\"\nD.k2 := \"trocado\"\n"
                       "K := CHAVES(D)\nSAIDA(TAMANHO(D))\nSAIDA(K[0] + K[17] + K[18] + K[37])\n"
                       "SAIDA(D.k2 + D.k21 + D[\"k20\"])\n";
  EXPECT_EQ(output(script), "61\nindefinido\n38\nk2k19k21k20\ntrocado21de volta\n");
  EXPECT_EQ(output("D := {}\nREPETE I 30\n  D[I] := I\nFIM REPETE\nREPETE I 30\n  X := RETIRA(D, I)\n"
                   "FIM REPETE\nSAIDA(D)\nD.a := 1\nSAIDA(D)\n"),
            "{}\n{\"a\" : 1}\n");
  EXPECT_EQ(objectCounters().dictNodes, 0);
}

TEST_F(BuiltinTest, ArgumentsOfTheWrongKind) {
  EXPECT_EQ(output("SAIDA(TIPO(PALAVRA(\"1\", \"a b\")))\nSAIDA(TIPO(PALAVRA(0, \"a b\")))\n"
                   "SAIDA(TIPO(PALAVRA(1, 5)))\nSAIDA(TIPO(POS(\"a\", 5)))\nSAIDA(POS(\"\", \"abc\"))\n"
                   "SAIDA(TIPO(NAO(\"0\")))\nSAIDA(TIPO(DUPLICA(INDEFINIDO)))\nSAIDA(TIPO(CHR(-1)))\n"
                   "SAIDA(TIPO(RAND(\"3\")))\nSAIDA(TIPO(TAMANHO(INDEFINIDO)))\nSAIDA(TIPO(MAIUSC()))\n"),
            "indefinido\nindefinido\nindefinido\nindefinido\n0\nindefinido\nindefinido\nindefinido\n"
            "indefinido\nindefinido\ncadeia\n");
}

TEST_F(BuiltinTest, TrimRemovesControlCharactersAndSizeCountsBytes) {
  EXPECT_EQ(output("SAIDA(\"[\" + TRIM(CHR(9) + \" a\" + CHR(13) + CHR(10)) + \"]\")\n"
                   "SAIDA(TAMANHO(\"ação\"))\nSAIDA(TAMANHO(-2147483647))\nSAIDA(ORD(CHR(255)))\n"),
            "[a]\n4\n2147483647\n255\n");
}

TEST_F(BuiltinTest, RandomNumbersStayInTheirRangeAndVary) {
  std::string out = output(
      "VISTOS := {}\n"
      "FORA := 0\n"
      "REPETE I 2000\n"
      "  R := RAND(-7)\n"
      "  SE R < 0 OU R > 6 ENTAO FORA := FORA + 1\n"
      "  VISTOS[R] := 1\n"
      "FIM REPETE\n"
      "SAIDA(FORA)\nSAIDA(TAMANHO(VISTOS))\nSAIDA(RAND(0))\nSAIDA(RAND(1))\n");
  EXPECT_EQ(out, "0\n7\n0\n0\n");
}

TEST_F(BuiltinTest, ClockTextsAndElapsedTime) {
  std::string out = output(
      "SAIDA(DATA)\nSAIDA(HORA)\nSAIDA(DIA)\n"
      "T1 := INTEIRO(TEMPO)\n"
      "REPETE I 200000\nFIM REPETE\n"
      "T2 := INTEIRO(TEMPO)\n"
      "SAIDA(T1 >= 0 E T2 >= T1)\n");
  std::vector<std::string> lines;
  for (size_t start = 0, end; (end = out.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(out.substr(start, end - start));
  }
  ASSERT_EQ(lines.size(), 4u) << out;
  Date d = currentDate();
  char date[32];
  std::snprintf(date, sizeof date, "%02d/%02d/%04d", d.day, d.month, d.year);
  EXPECT_EQ(lines[0], date);
  EXPECT_EQ(lines[1].size(), 8u);
  EXPECT_EQ(lines[1][2], ':');
  const char* days[] = {"Domingo", "Segunda", "Terça", "Quarta", "Quinta", "Sexta", "Sábado"};
  EXPECT_EQ(lines[2], days[d.weekday]);
  EXPECT_EQ(lines[3], "1");
}

TEST_F(BuiltinTest, ContentsNeedParenthesesAndAKnownKind) {
  EXPECT_EQ(output("X := CONTEUDO \"x.txt\"\n"),
            "Erro no script TESTE.SCR, linha 1:\nA função \"CONTEUDO\" deve ser invocada com ()\n"
            "Erro no script TESTE.SCR, linha 1:\nA linha deveria terminar onde aparece \"\"x.txt\"\"\n");
  EXPECT_EQ(output("SAIDA(TIPO(CONTEUDO(\"/etc/hostname\", \"CSV\")))\n"), "indefinido\n");
}

}  // namespace
}  // namespace varlo
