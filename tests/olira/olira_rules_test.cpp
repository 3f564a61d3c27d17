// Letter-to-sound: stress, exceptions, rule contexts, linking, bad files.
#include <gtest/gtest.h>

#include "olira/olira_test_util.h"
#include "engines/olira_rules.h"
#include "engines/olira_stress.h"

using namespace varlo;
using varlo::test::cp;
using varlo::test::writeFile;
using Lines = std::vector<std::string>;

namespace {

int stress(const char* utf8) { return findStress(cp(utf8)); }

// A rule set that writes every letter as itself in lower case, with the
// contexts under test in front of it.
const char* kLetterRules =
    "; test rules\n"
    "#(S)#=z                | between vowels\n"
    "(S)%=s2\n"
    "(R)%=r2\n"
    "'(A)=A                 | stressed a\n"
    "(QU)+=k\n"
    "(X)=k&s\n"
    "(H)=\n"
    "(W)=w\n";

class OliraRules : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = varlo::test::scratchDirectory();
    std::string rules = kLetterRules;
    for (char c = 'A'; c <= 'Z'; ++c) rules += std::string("(") + c + ")=" + char(c + 32) + "\n";
    rules += "(\xC9)=eh\n";
    ASSERT_TRUE(load(rules, "TAXI=TAKSI\nCASA=KAZA|comment\nSOL=S\xD3L\n"));
  }
  bool load(const std::string& rules, const std::string& exceptions) {
    return loadRules(writeFile(dir_, "t.nrl", rules), writeFile(dir_, "t.exc", exceptions));
  }
  // The phoneme lines of one word (header and final "__" dropped).
  Lines word(const char* utf8) {
    Lines out = convertTokens({"555|" + cp(utf8)});
    return Lines(out.begin() + 1, out.end() - 1);
  }
  std::string dir_;
};

}  // namespace

TEST(OliraStress, WrittenAccentDecides) {
  EXPECT_EQ(stress("árvore"), 1);
  EXPECT_EQ(stress("café"), 4);
  EXPECT_EQ(stress("você"), 4);
  EXPECT_EQ(stress("irmã"), 4);
  // The tilde yields to an acute or circumflex accent; the crase marks no stress.
  EXPECT_EQ(stress("órgão"), 1);
  EXPECT_EQ(stress("bênção"), 2);
  EXPECT_EQ(stress("àquele"), 4);
}

TEST(OliraStress, EndingDecides) {
  EXPECT_EQ(stress("porta"), 2);
  EXPECT_EQ(stress("amor"), 3);
  EXPECT_EQ(stress("ruim"), 3);
  EXPECT_EQ(stress("parque"), 2);
  EXPECT_EQ(stress("continua"), 7);
  EXPECT_EQ(stress("casas"), 2);
  EXPECT_EQ(stress("aqui"), 4);
  EXPECT_EQ(stress("papai"), 4);
  EXPECT_EQ(stress("homem"), 2);
  EXPECT_EQ(stress("muito"), 2);
  EXPECT_EQ(stress("linguiça"), 6);
  EXPECT_EQ(stress("perdeu"), 5);
  EXPECT_EQ(stress("tatu"), 4);
  EXPECT_EQ(stress("PORTA"), 2);  // case does not matter
  EXPECT_EQ(stress("crwth"), 3);  // w and y count as vowels
  EXPECT_EQ(stress("pst"), 0);
  EXPECT_EQ(stress(""), 0);
}

TEST(OliraStress, PluralsInNsAndGlidesBeforeAFinalVowel) {
  EXPECT_EQ(stress("homens"), 2);
  EXPECT_EQ(stress("jovens"), 2);
  EXPECT_EQ(stress("jardins"), 5);
  EXPECT_EQ(stress("ideia"), 3);
  EXPECT_EQ(stress("praia"), 3);
  EXPECT_EQ(stress("cuia"), 2);
  EXPECT_EQ(stress("maria"), 4);
  // An i closed by n or m, or before nh, is the stressed vowel of a hiatus.
  EXPECT_EQ(stress("ainda"), 2);
  EXPECT_EQ(stress("construindo"), 8);
  EXPECT_EQ(stress("rainha"), 3);
  EXPECT_EQ(stress("cuidado"), 5);
  // A final diphthong keeps the stress against a vowel before it.
  EXPECT_EQ(stress("reais"), 3);
  EXPECT_EQ(stress("passeei"), 6);
  EXPECT_EQ(stress("uruguai"), 6);
}

TEST_F(OliraRules, StressMarkGoesOnTheFirstPhonemeAtTheStressedLetter) {
  EXPECT_EQ(word("porta"), (Lines{"p", ">o", "r", "t", "a", ""}));
  EXPECT_EQ(word("parque"), (Lines{"p", ">A", "r", "k", "e", ""}));
  // At most two letters, and a few short words, carry no stress.
  EXPECT_EQ(word("de"), (Lines{"d", "e", ""}));
  EXPECT_EQ(word("POR"), (Lines{"p", "o", "r2", ""}));
  EXPECT_EQ(word("com"), (Lines{"c", "o", "m", ""}));
  EXPECT_EQ(word("\xC9"), (Lines{">eh", ""}));  // É keeps its stress
}

TEST_F(OliraRules, ContextsAndMultiPhonemeOutputs) {
  EXPECT_EQ(word("sapo"), (Lines{"s", ">A", "p", "o", ""}));
  EXPECT_EQ(word("mesa"), (Lines{"m", ">e", "z", "a", ""}));
  EXPECT_EQ(word("fax"), (Lines{"f", ">A", "k", "s", ""}));
  EXPECT_EQ(word("hora"), (Lines{">o", "r", "a", ""}));  // silent h: mark moves on
  EXPECT_EQ(word("quero"), (Lines{"k", ">e", "r", "o", ""}));
}

TEST_F(OliraRules, ExceptionsWithSuffixStripping) {
  EXPECT_EQ(respell("TAXI"), "TAKSI");
  EXPECT_EQ(respell("TAXIS"), "TAKSIS");
  EXPECT_EQ(respell("CASAS"), "KAZAS");
  EXPECT_EQ(respell("CASAMS"), "KAZAMS");
  EXPECT_EQ(respell("SOL"), "S\xD3L");
  EXPECT_EQ(respell("MESAS"), "MESAS");
  EXPECT_EQ(respell("SSS"), "SSS");
  // The respelled word is stressed by its own ending.
  EXPECT_EQ(word("taxis"), (Lines{"t", "a", "k", "s", ">i", "s2", ""}));
}

TEST_F(OliraRules, PunctuationBoundariesAndLinking) {
  Lines out = convertTokens({"555|", "555|os", "575|amigos", "555|,", "555|mar", "555|azul",
                             "555|.", "555|ser", "555|hoje"});
  Lines expected = {";555|", "__", "",
                    ";555|os", "o", "z", "",
                    ";575|amigos", "a", "m", ">i", "g", "o", "s2", "",
                    ";555|,", "_,",
                    ";555|mar", "m", ">A", "r", "",
                    ";555|azul", "a", "z", ">u", "l", "",
                    ";555|.", "_.",
                    ";555|ser", "s", ">e", "r", "",
                    ";555|hoje", ">o", "j", "e", "",
                    "__"};
  EXPECT_EQ(out, expected);
}

TEST_F(OliraRules, OutputsUseElevenCharactersAndFieldsAreCut) {
  ASSERT_TRUE(load("(A)=abcdefghijklmnopqrstuvwxyz\n(BCDEFGH)=x\n", ""));
  Lines out = word("ab");
  EXPECT_EQ(out[0], "abcdefghijk");
  // The match keeps five letters: BCDEF.
  EXPECT_EQ(word("bcdefg"), (Lines{"x", ""}));
}

TEST_F(OliraRules, BadRuleFilesAreRefused) {
  EXPECT_FALSE(load("(A)=a\nsem parenteses=x\n", ""));
  EXPECT_NE(ruleLoadError().find("linha 2"), std::string::npos);
  EXPECT_FALSE(load("()=a\n", ""));
  EXPECT_FALSE(load("(A)a\n", ""));
  EXPECT_FALSE(loadRules(dir_ + "/none.nrl", dir_ + "/none.exc"));
  EXPECT_FALSE(ruleLoadError().empty());
  // Comments and empty lines are fine; a missing exception file is not.
  EXPECT_TRUE(load("; only comments\n\n(A)=a\n", ""));
  EXPECT_FALSE(loadRules(writeFile(dir_, "ok.nrl", "(A)=a\n"), dir_ + "/none.exc"));
}

TEST_F(OliraRules, LongWordsAndStrayCharactersStayBounded) {
  std::string longWord(200, 'a');
  Lines out = convertTokens({"555|" + longWord});
  EXPECT_EQ(out.size(), 1 + 200 + 1 + 1u);
  EXPECT_EQ(out[199], ">A");  // the vowel before the final vowel
  EXPECT_EQ(out[200], "a");
  // A character without rules gives nothing, not a crash.
  EXPECT_EQ(word("\x80\x81"), (Lines{""}));
  EXPECT_EQ(word("-"), (Lines{""}));
}
