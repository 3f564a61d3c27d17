// The suite voice's translator: normalization, words, stress, spelling, the
// exception dictionary and the context symbols of its rules.
#include "engines/unit_translator.h"

#include <gtest/gtest.h>

#include "base/codepage.h"
#include "engines/unit_stress.h"
#include "engines/unit_text.h"
#include "voice/voice_test_util.h"

namespace varlo {
namespace {

using test::fs::path;

std::string stressed(const std::string& w) {
  UnitWord word{w};
  measureUnitWord(word);
  markUnitStress(word);
  return word.text;
}

std::string latin(const char* utf8) { return utf8ToCp1252(utf8); }

TEST(UnitText, NormalizationFoldsAccentsAndReadsWAndYBesideLetters) {
  EXPECT_EQ(normalizeUnitText("Wagner"), "uagner");
  EXPECT_EQ(normalizeUnitText("Yara w y"), "iara w y");
  EXPECT_EQ(normalizeUnitText(latin("d'água")), "da'gua");
  EXPECT_EQ(normalizeUnitText(latin("coração São")), "corassa~o Sa~o");
  EXPECT_EQ(normalizeUnitText(latin("pôr à lingüiça ñ")), "po^r a` linguissa nh");
  // Control bytes and bytes with no folding give two blanks each.
  EXPECT_EQ(normalizeUnitText("a\tb\x81"), "a  bu\"");
  EXPECT_EQ(normalizeUnitText("a\x9D" "b"), "a  b");
  EXPECT_EQ(normalizeUnitText("\xAA\xA7\xBF"), "  \xA7?");
}

TEST(UnitText, EveryHighByteFoldsToPlainTextOrBlanks) {
  for (int c = 128; c < 256; ++c) {
    std::string out = normalizeUnitText(std::string(1, char(c)));
    ASSERT_FALSE(out.empty()) << c;
    for (unsigned char o : out) EXPECT_TRUE(o < 128 || o == 0xA7 || o == 0xAB || o == 0xBB) << c;
  }
}

TEST(UnitText, WordsAreLetterRunsOrSingleCharacters) {
  std::string text = normalizeUnitText(latin("  Você, é  CPF!"));
  size_t pos = 0;
  UnitWord w;
  std::vector<std::string> words;
  while (nextUnitWord(text, pos, w)) words.push_back(w.text);
  EXPECT_EQ(words, (std::vector<std::string>{"voce^", ",", "e'", "cpf", "!"}));
  pos = 0;
  ASSERT_TRUE(nextUnitWord(normalizeUnitText("ling\x81i\x87" "a"), pos, w));
  EXPECT_EQ(w.vowels, 4);
  EXPECT_FALSE(w.accented);   // the trema is no stress accent
}

TEST(UnitStress, EndingsDecideTheStressedSyllable) {
  EXPECT_EQ(stressed("casa"), "cAsa");
  EXPECT_EQ(stressed("aqui"), "aquI");
  EXPECT_EQ(stressed("pai"), "pAi");
  EXPECT_EQ(stressed("amor"), "amOr");
  EXPECT_EQ(stressed("falam"), "fAlam");
  EXPECT_EQ(stressed("casas"), "cAsas");
  EXPECT_EQ(stressed("papel"), "papEl");
  EXPECT_EQ(stressed("asa"), "Asa");          // the scan runs off the front
  EXPECT_EQ(stressed("mar"), "mar");          // one vowel
  EXPECT_EQ(stressed("sol"), "sOl");          // one vowel, but ends in l
  EXPECT_EQ(stressed("voce^"), "voce^");      // written accent
  EXPECT_EQ(stressed("cpf"), "cpf");
  EXPECT_EQ(stressed("tAksi"), "tAksi");      // a respelling already marked it
}

class TranslatorRules : public ::testing::Test {
 protected:
  void SetUp() override { dir = test::makeVoiceDir("varlo-rules"); }
  void TearDown() override {
    releaseTranslatorRules();
    test::fs::remove_all(dir);
  }
  void rules(const std::string& text, const std::string& exceptions = "") {
    test::writeText(dir / "r.rgr", text);
    test::writeText(dir / "e.exc", exceptions);
    ASSERT_TRUE(loadTranslatorRules((dir / "r.rgr").string()));
    ASSERT_TRUE(loadTranslatorExceptions((dir / "e.exc").string()));
  }
  path dir;
};

TEST_F(TranslatorRules, MissingFilesAreReported) {
  EXPECT_FALSE(loadTranslatorRules((dir / "none.rgr").string()));
  EXPECT_FALSE(loadTranslatorExceptions((dir / "none.exc").string()));
}

TEST_F(TranslatorRules, LettersWithoutRulesBecomeLetterFileUnits) {
  rules("(A)=a |\n");
  EXPECT_EQ(translateText("bab"), "[ /_B/a / /_B]");
  EXPECT_EQ(translateText("CPF"), "[ /_c][ /_p][ /_f]");
  EXPECT_EQ(translateText("a , b"), "[a ][ /_,][ /_b]");
}

TEST_F(TranslatorRules, LeftContextSymbols) {
  rules("#(S)=z\n%(S)=S\n](T)=T\n_(D)=D\n|(R)=R\n"
        "(S)=s\n(T)=t\n(D)=d\n(R)=r\n(A)=a\n(E)=e\n(N)=n\n(O)=o\n(')=\n");
  EXPECT_EQ(translateText("sasa"), "[S/A/z/a]");      // % at the start, # after a vowel
  EXPECT_EQ(translateText("ota"), "[O/T/a]");          // ] after a back vowel
  EXPECT_EQ(translateText("eta"), "[E/t/a]");
  EXPECT_EQ(translateText(latin("óta")), "[o//T/a]");  // ] across the mark of a back vowel
  EXPECT_EQ(translateText("dada"), "[D/A/D/a]");      // _ at the start or after a vowel
  EXPECT_EQ(translateText("nda"), "[n/d/a]");
  EXPECT_EQ(translateText("nrara"), "[n/R/A/r/a]");   // | after n, r or s
}

TEST_F(TranslatorRules, RightContextSymbols) {
  rules("(A)#=1\n(A)%=2\n(B)&=3\n(C)*=4\n(D)+=5\n(F)[=6\n(G)\\O=7\n"
        "(A)=a\n(B)=b\n(C)=c\n(D)=d\n(F)=f\n(G)=g\n(E)=e\n(I)=i\n(L)=l\n(T)=t\n(H)=h\n(S)=s\n(O)=o\n");
  EXPECT_EQ(translateText("aia"), "[1/i/2]");
  EXPECT_EQ(translateText("bla bta"), "[3/l/2][b/t/2]");
  EXPECT_EQ(translateText("cta cla"), "[4/t/2][c/l/2]");
  EXPECT_EQ(translateText("di de do"), "[5/i][5/e][d/o]");
  EXPECT_EQ(translateText("af aft afh"), "[a/6][a/6/t][a/f/h]");
  EXPECT_EQ(translateText("gso go gto"), "[7/s/o][7/o][g/t/o]");
}

TEST_F(TranslatorRules, StressedLetterUpperCasesTheOutputVowel) {
  rules("(C)=k\n(A)=a |\n(S)=z\n");
  EXPECT_EQ(translateText("casa"), "[k/A /z/a ]");
}

TEST_F(TranslatorRules, ExceptionsKeepTheirEndingSAndM) {
  rules("(A)=a\n(K)=k\n(S)=s\n(I)=i\n(T)=t\n(X)=x\n(M)=m\n", "taxi=tAksi | táxi: the respelling marks the stress\n");
  EXPECT_EQ(respellUnitWord("taxi"), "tAksi");
  EXPECT_EQ(respellUnitWord("taxis"), "tAksis");
  EXPECT_EQ(respellUnitWord("taxism"), "tAksism");
  EXPECT_EQ(respellUnitWord("taxa"), "taxa");
  EXPECT_EQ(translateText("Taxis"), "[t/A/k/s/i/s]");
}

TEST_F(TranslatorRules, HostileTextGivesBoundedOutput) {
  rules("(A)=a |\n");
  EXPECT_EQ(translateText(""), "");
  EXPECT_EQ(translateText(" .,;: "), "[ /_.][ /_,][ /_;][ /_:]");
  std::string junk;
  for (int c = 1; c < 256; ++c) junk += char(c);
  std::string units = translateText(junk + std::string(100, 'a'));
  EXPECT_EQ(units.front(), '[');
  EXPECT_EQ(units.back(), ']');
}

// The shipped rules give the units the segment data is made for.
TEST(ShippedRules, PortugueseWordsBecomeSyllableUnits) {
  const std::string dir = std::string(VARLO_SOURCE_DIR) + "/data/som/difones/";
  ASSERT_TRUE(loadTranslatorRules(dir + "regras.rgr"));
  ASSERT_TRUE(loadTranslatorExceptions(dir + "portug.exc"));
  EXPECT_EQ(translateText("casa"), "[k/A /z/a ]");
  EXPECT_EQ(translateText("dia"), "[dj/I /a ]");
  EXPECT_EQ(translateText("carro"), "[k/A /rr/u ]");
  EXPECT_EQ(translateText(latin("canção")), "[k/a~ /s/a~ /u ]");
  EXPECT_EQ(translateText("taxi"), "[t/A /k/s/i ]");
  EXPECT_EQ(translateText("CPF"), "[ /_c][ /_p][ /_f]");
  releaseTranslatorRules();
}

}  // namespace
}  // namespace varlo
