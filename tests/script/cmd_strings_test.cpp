// String commands and in-place arithmetic: what the conformance scripts
// cannot show (many failing statements, aliasing, a reference replacement).
#include <gtest/gtest.h>

#include <random>

#include "script_fixture.h"

namespace varlo {
namespace {

class StringCommandsTest : public test::ScriptTest {
 protected:
  std::string error(int line, const std::string& message) {
    return "Erro no script TESTE.SCR, linha " + std::to_string(line) + ":\n" + message + "\n";
  }
};

TEST_F(StringCommandsTest, CountersAtTheEndOfStringsCarryAndBorrowWithinTheirDigits) {
  EXPECT_EQ(output("S := \"A00\"\nSUBTRAI S 1\nSAIDA(S)\n"), "A99\n");
  EXPECT_EQ(output("S := \"X9\"\nSOMA S 25\nSAIDA(S)\n"), "X4\n");
  EXPECT_EQ(output("S := \"R-199\"\nSOMA S 1\nSAIDA(S)\n"), "R-200\n");
  EXPECT_EQ(output("S := \"7\"\nSOMA S -10\nSAIDA(S)\nSAIDA(TIPO(S))\n"), "-3\ninteiro\n");
  EXPECT_EQ(output("N := -2147483647 - 1\nDIVIDE N (-1)\nSAIDA(N)\nMULTIPLICA N 2\nSAIDA(N)\n"),
            "-2147483648\n0\n");
}

TEST_F(StringCommandsTest, InPlaceArithmeticRefusesWhatIsNoNumber) {
  EXPECT_EQ(output("S := \"abc\"\nSOMA S 1\n"),
            error(2, "O primeiro operando do comando SOMA não é inteiro"));
  EXPECT_EQ(output("S := \"ARQ1\"\nMULTIPLICA S 2\n"),
            error(2, "O primeiro operando do comando MULTIPLICA não é inteiro"));
  EXPECT_EQ(output("N := 1\nSUBTRAI N \"x\"\nSAIDA(N)\n"),
            error(2, "O segundo operando do comando SUBTRAI deve ser inteiro"));
  EXPECT_EQ(output("N := 5\nDIVIDE N 0\nSAIDA(N)\n"), error(2, "Divisão por zero evitada") + "5\n");
}

TEST_F(StringCommandsTest, ConcatenationGrowsOnlyTheVariableItNames) {
  EXPECT_EQ(output("S := \"ab\"\nT := S\nCONCATENA S \"c\"\nCONCATENA S 1\nSAIDA(T)\nSAIDA(S)\n"),
            "ab\nabc1\n");
  EXPECT_EQ(output("L := [\"a\"]\nM := L\nCONCATENA L[0] \"b\"\nSAIDA(M)\n"), "[ab]\n");
  EXPECT_EQ(output("N := 1\nCONCATENA N \"x\"\n"), error(2, "O comando CONCATENA aplica-se a cadeias"));
  EXPECT_EQ(output("CONCATENA S LISTA \"x\"\n"), error(1, "Esperava uma lista para concatenar"));
}

// The replacement as written: every start from the right, in the text as
// it is after the replacements already made.
std::string replacedNaively(std::string text, const std::string& old, const std::string& by) {
  if (old.empty() || text.size() < old.size()) return text;
  for (size_t p = text.size() - old.size() + 1; p-- > 0;) {
    if (text.compare(p, old.size(), old) == 0) text.replace(p, old.size(), by);
  }
  return text;
}

TEST_F(StringCommandsTest, ReplacementFromTheRightMatchesTheNaiveAlgorithm) {
  std::mt19937 random(7);
  auto word = [&](size_t maxLength) {
    std::string w;
    size_t n = random() % (maxLength + 1);
    for (size_t i = 0; i < n; ++i) w += "ab"[random() % 2];
    return w;
  };
  std::string script, expected;
  for (int i = 0; i < 300; ++i) {
    std::string text = word(12), old = word(3), by = word(3);
    if (old.empty()) old = "a";
    script += "A := \"" + text + "\"\nSUBSTITUI A \"" + old + "\" \"" + by + "\"\nSAIDA(\"[\" + A + \"]\")\n";
    expected += "[" + replacedNaively(text, old, by) + "]\n";
  }
  EXPECT_EQ(output(script), expected);
  EXPECT_EQ(output("A := \"aaaa\"\nSUBSTITUI A \"aa\" \"a\"\nSAIDA(A)\n"), "a\n");
}

TEST_F(StringCommandsTest, ReplacementOfALongTextIsNotQuadratic) {
  // 200 000 replacements in a 400 000-character text built piece by piece
  // (each character is moved once, not once per replacement).
  EXPECT_EQ(output("A := \"\"\nREPETE I 200000\nCONCATENA A \"ab\"\nFIM REPETE\n"
                   "SUBSTITUI A \"b\" \"cc\"\nSAIDA(TAMANHO(A))\n"),
            "600000\n");
}

TEST_F(StringCommandsTest, OperandErrorsOfTheStringCommands) {
  EXPECT_EQ(output("SUBSTITUI A \"a\" \"b\"\n"),
            error(1, "Esperava três cadeias como argumentos para o comando SUBSTITUI"));
  EXPECT_EQ(output("A := \"x\"\nSUBSTITUI A 1 \"b\"\n"),
            error(2, "Esperava três cadeias como argumentos para o comando SUBSTITUI"));
  EXPECT_EQ(output("T := 5\nTROCA T \"a\" 1 1\n"), error(2, "A variável especificada não contém uma cadeia"));
  EXPECT_EQ(output("T := \"abc\"\nTROCA T 5 1 1\n"), error(2, "O terceiro argumento deveria ser a nova cadeia"));
  EXPECT_EQ(output("T := \"abc\"\nTROCA T \"x\" \"a\" 1\n"),
            error(2, "O quarto e quinto argumentos deveriam ser inteiros"));
  EXPECT_EQ(output("COPIA C \"abc\" \"x\" 2\n"), error(1, "Operandos inválidos para o comando COPIA"));
}

TEST_F(StringCommandsTest, SplittingGivesOneMorePieceThanSeparators) {
  EXPECT_EQ(output("SEPARA P \",,\" \",\"\nSAIDA(TAMANHO(P))\nSEPARA P \"abc\" \"\"\nSAIDA(P)\n"
                   "SEPARA P \"  a  \" \"x\" &\nSAIDA(\"[\" + P[0] + \"]\")\n"),
            "3\n[abc]\n[a]\n");
}

}  // namespace
}  // namespace varlo
