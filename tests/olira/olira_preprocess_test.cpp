// Text preprocessing: numbers, symbols, spelled words and abbreviations.
#include <gtest/gtest.h>

#include "olira/olira_test_util.h"
#include "engines/olira_preprocess.h"

using namespace varlo;
using varlo::test::cp;

namespace {

std::string pre(const char* utf8) { return preprocess(cp(utf8)); }

class OliraPreprocess : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = varlo::test::scratchDirectory();
    ASSERT_TRUE(loadAbbreviations(varlo::test::writeFile(
        dir_, "t.abr", "; comentário=ignorado\n  Sr = senhor \n\nAv=avenida\nsem igual\nSr=outro\n")));
  }
  std::string dir_;
};

}  // namespace

TEST_F(OliraPreprocess, NumbersBecomeWordsBetweenBlanks) {
  EXPECT_EQ(pre("R$ 5"), cp(" érre cifrão   cinco "));
  EXPECT_EQ(pre("3,5"), cp(" três vírgula cinco "));
  EXPECT_EQ(pre("3.5"), cp(" três ponto cinco "));
  EXPECT_EQ(pre("3.500"), cp(" três mil e quinhentos "));
  EXPECT_EQ(pre("0800"), " zero oitocentos ");
  EXPECT_EQ(pre("2º e 2ª e 3as."), cp(" segundo  e  segunda  e  terceiras "));
  EXPECT_EQ(pre("-7"), "menos  sete ");
  EXPECT_EQ(pre("a - e"), "a , e");
}

TEST_F(OliraPreprocess, DashesOfAllKindsAreRead) {
  // The en dash of word processors reads like the plain dash.
  EXPECT_EQ(preprocess("\x96" "7"), "menos  sete ");
  EXPECT_EQ(preprocess("a \x97 e"), "a , e");
}

TEST_F(OliraPreprocess, ConsonantWordsAreSpelled) {
  EXPECT_EQ(pre("CPF"), cp("  sê pê éfe"));
  EXPECT_EQ(pre("o CPF."), cp("o   sê pê éfe."));
  EXPECT_EQ(pre("Sr. Silva"), "senhor Silva");
  EXPECT_EQ(pre("av. Paulista"), "avenida Paulista");
  // Without a blank after the dot it is no abbreviation.
  EXPECT_EQ(pre("Sr.Silva"), cp(" ésse érre ponto Silva"));
}

TEST_F(OliraPreprocess, AbbreviationFileRules) {
  EXPECT_EQ(findAbbreviation("sr"), "senhor");  // first entry wins, case ignored
  EXPECT_EQ(findAbbreviation("AV"), "avenida");
  EXPECT_EQ(findAbbreviation(cp("comentário")), "");
  EXPECT_EQ(findAbbreviation("sem igual"), "");
  EXPECT_FALSE(loadAbbreviations(dir_ + "/none.abr"));
  EXPECT_EQ(findAbbreviation("sr"), "");
  EXPECT_EQ(pre("Sr. Silva"), cp(" ésse érre. Silva"));
}

TEST_F(OliraPreprocess, AbbreviationTableStopsAtTwoThousand) {
  std::string text;
  for (int i = 0; i < 2100; ++i) text += "K" + std::to_string(i) + "=x" + std::to_string(i) + "\n";
  ASSERT_TRUE(loadAbbreviations(varlo::test::writeFile(dir_, "big.abr", text)));
  EXPECT_EQ(findAbbreviation("k1999"), "x1999");
  EXPECT_EQ(findAbbreviation("k2000"), "");
}

TEST_F(OliraPreprocess, SingleCharactersAndSymbols) {
  EXPECT_EQ(pre("a"), "a");
  EXPECT_EQ(pre("?"), cp("interrogação"));
  EXPECT_EQ(pre("7"), cp("séte"));
  EXPECT_EQ(pre("é"), cp("É agudo"));
  EXPECT_EQ(pre("@#"), cp(" arrôba  sustenido "));
  EXPECT_EQ(pre("a\te\r\n"), "ae");
  EXPECT_EQ(preprocess("\x81\x81"), "    ");  // codes without a name vanish
}

TEST(OliraCharNames, TableCorners) {
  EXPECT_EQ(charName(' '), cp("espaço"));
  EXPECT_EQ(charName('0'), cp("zéro"));
  EXPECT_EQ(charName('C'), cp(" sê"));
  EXPECT_EQ(charName('d'), cp(" dê"));
  EXPECT_EQ(charName('`'), "crase");
  EXPECT_EQ(charName('~'), "til");
  EXPECT_EQ(charName(0xA1), cp("exclamação reversa"));
  EXPECT_EQ(charName(0xBF), cp("interrogação reversa"));
  EXPECT_EQ(charName(0xD7), "vezes");
  EXPECT_EQ(charName(0xDC), "U com trema");
  EXPECT_EQ(charName(0xE7), cp("Cê cedilha"));
  EXPECT_EQ(charName(0xDD), "");
  EXPECT_EQ(charName(0xFF), "");
  EXPECT_EQ(charName(0x7F), "");
}

TEST_F(OliraPreprocess, LongAndOddInputStaysBounded) {
  std::string word(200, 'b');
  std::string out = preprocess(word);
  EXPECT_EQ(out.size(), 200 * cp(" bê").size());
  std::string vowels(200, 'a');
  EXPECT_EQ(preprocess(vowels), vowels);
  EXPECT_EQ(pre("..."), "... ");
  EXPECT_EQ(pre(".a"), " ponto a");
  EXPECT_EQ(pre("guarda-chuva"), "guarda-chuva");
  EXPECT_EQ(pre(""), "");
}
