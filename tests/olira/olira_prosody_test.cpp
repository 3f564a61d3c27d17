// Prosody: the prosody file and its messages, key-word classes,
// intonation codes, and the phoneme lines with durations and pitch.
#include <gtest/gtest.h>

#include "olira/olira_test_util.h"
#include "engines/olira_phonemes.h"
#include "engines/olira_prosody.h"

using namespace varlo;
using varlo::test::cp;
using varlo::test::writeFile;
using Lines = std::vector<std::string>;

namespace {

const char* kProsody =
    "; test prosody\n"
    "[DURAÇÃO]\n"
    "k=80\n"
    "a = 100\n"
    "* comment\n"
    "z=60\n"
    "_,=250\n"
    "[CHAVES]\n"
    "o=AR\n"
    "de=PR\n"
    "[PROSÓDIA]\n"
    "HERTZ=230\n"
    "TABHERTZ=0,0,0,0,0,100,0,110,0,0\n"
    "||..=?77\n"
    "|AR|=555\n"
    "--|XX|=575\n";

class OliraProsody : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = varlo::test::scratchDirectory();
    std::string message;
    ASSERT_TRUE(loadProsody(writeFile(dir_, "t.pro", kProsody), message)) << message;
    EXPECT_EQ(message, "");
    ASSERT_TRUE(loadDiphones(writeFile(dir_, "t.dfn", allDiphones())));
  }
  static std::string allDiphones() {
    const char* names[] = {"_", "k", "a", "z", "r2", "y"};
    std::string text = "; every pair\n";
    for (const char* a : names)
      for (const char* b : names) text += std::string(a) + " " + b + "\n";
    return text;
  }
  // The message of a prosody file, "" when it loads silently.
  std::string messageOf(const std::string& text, bool expectLoaded) {
    std::string message;
    EXPECT_EQ(loadProsody(writeFile(dir_, "m.pro", text), message), expectLoaded) << text;
    return varlo::cp1252ToUtf8(message);
  }
  std::string dir_;
};

}  // namespace

TEST_F(OliraProsody, WorkedExampleIsReproducedExactly) {
  Lines in = {";575|casa", "k", ">a", "z", "a", ""};
  EXPECT_EQ(phonemeLines(in, 1.0, 1.0),
            (Lines{";casa", "k 80 50 230", "a 145 80 253", "z 60", "a 100 50 230", ""}));
}

TEST_F(OliraProsody, FactorsScaleDurationsAndPitch) {
  Lines in = {";555|aa", "a", ">a", ""};
  EXPECT_EQ(phonemeLines(in, 0.6, 1.0), (Lines{";aa", "a 60 50 230", "a 87 80 230", ""}));
  EXPECT_EQ(phonemeLines(in, 1.0, 2.0), (Lines{";aa", "a 100 50 460", "a 145 80 460", ""}));
}

TEST_F(OliraProsody, LongWordsAreShortenedBeforeTheirStress) {
  // Header ";" + 14 letters: 80 %; ";" + 9 letters: 90 %; after the stress: none.
  Lines in = {";555|abcdefghijklmn", "a", "k", ">a", "k", ""};
  EXPECT_EQ(phonemeLines(in, 1.0, 1.0),
            (Lines{";abcdefghijklmn", "a 80 50 230", "k 64", "a 145 80 230", "k 80 50 230", ""}));
  Lines nine = {";555|abcdefghi", "k", ""};
  EXPECT_EQ(phonemeLines(nine, 1.0, 1.0)[1], "k 72 50 230");
}

TEST_F(OliraProsody, PausesAndMarkers) {
  Lines in = {";555|,", "_,", ";555|x", "_", "_ 40", "\xA8" "a", ">" "\xA8" "z", "q", ""};
  EXPECT_EQ(phonemeLines(in, 1.0, 1.0),
            (Lines{";,", "_ 250 50 230", ";x", "_ 100 50 230", "_ 40", "a 100", "z 87 80 230",
                   "y 50", "q 100 50 230", ""}));
}

TEST_F(OliraProsody, MissingDiphonesAreBridged) {
  ASSERT_TRUE(loadDiphones(writeFile(dir_, "few.dfn", "! list\nk-a\n_ k\nr2 _\na y\n")));
  EXPECT_TRUE(hasDiphone("K", "A"));
  Lines in = {";555|x", "k", "a", "z", "r2", "a", ""};
  EXPECT_EQ(phonemeLines(in, 1.0, 1.0),
            (Lines{";x", "k 80 50 230", "a 100", "y 50", "z 60", "_ 50", "r2 100", "_ 50",
                   "a 100", ""}));
}

TEST_F(OliraProsody, WithoutTabHertzThereAreNoPitchPoints) {
  std::string text = kProsody;
  text.replace(text.find("TABHERTZ"), text.find("\n", text.find("TABHERTZ")) - text.find("TABHERTZ") + 1, "");
  EXPECT_EQ(messageOf(text, true), "");
  EXPECT_EQ(phonemeLines({";575|casa", "k", ">a", ""}, 1.0, 1.0),
            (Lines{";casa", "k 80", "a 145", ""}));
}

TEST_F(OliraProsody, TokensGetClassesAndCodes) {
  Lines tokens = tokenize(cp("o  Gato, de ... casa. fim?"));
  EXPECT_EQ(tokens, (Lines{"[--]", "[AR]o", "[XX]Gato", "[,,],", "[PR]de", "[.-].", "[--]",
                           "[XX]casa", "[..].", "[--]", "[XX]fim", "[\?\?]?", "[--]"}));
  Lines codes = intonationCodes(tokens);
  // casa comes before "." and continues the level of the token before it;
  // fim follows a boundary and has no rule for the "?" after it.
  EXPECT_EQ(codes, (Lines{"555|", "555|o", "555|Gato", "555|,", "555|de", "555|.", "555|",
                          "577|casa", "555|.", "555|", "575|fim", "555|?", "555|"}));
}

TEST_F(OliraProsody, HyphensJoinWordsWithoutATokenOfTheirOwn) {
  EXPECT_EQ(tokenize("guarda-chuva"), (Lines{"[--]", "[XX]guarda", "[XX]chuva"}));
}

TEST_F(OliraProsody, QuestionMarkCodesContinueThePreviousLevel) {
  std::string text = "[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n||?\?=?33\n|?\?|=9\n";
  ASSERT_EQ(messageOf(text, true), "");
  Lines codes = intonationCodes(tokenize("fim?"));
  EXPECT_EQ(codes, (Lines{"555|", "533|fim", "955|?", "555|"}));
}

TEST_F(OliraProsody, FileErrorsAreTold) {
  EXPECT_EQ(messageOf("", false), "Duração dos difones errada ou ausente");
  EXPECT_EQ(messageOf("[DURAÇÃO]\na 10\n", false), "Configuração da prosódia: fonema errado: a 10");
  EXPECT_EQ(messageOf("[DURAÇÃO]\na=x\n", false), "Prosódia: palavras chaves ausentes");
  EXPECT_EQ(messageOf("[DURAÇÃO]\n[CHAVES]\nde PR\n", false),
            "Configuração da prosódia: chave errada: de PR");
  EXPECT_EQ(messageOf("[DURAÇÃO]\n[CHAVES]\n", false), "Prosódia: especificações ausentes");
  EXPECT_EQ(messageOf("[DURAÇÃO]\n[CHAVES]\n[PROSÓDIA]\n|XX 555\n", false),
            "Configuração da prosódia: chave errada: |XX 555");
  std::string message;
  EXPECT_FALSE(loadProsody(dir_ + "/none.pro", message));
  EXPECT_EQ(varlo::cp1252ToUtf8(message), "Configuração da prosódia não foi achada");
}

TEST_F(OliraProsody, ABadDurationIsToldAndReadAsOneHundred) {
  EXPECT_EQ(messageOf("[DURAÇÃO]\nk=oito\n[CHAVES]\n[PROSÓDIA]\n", true),
            "Configuração da prosódia: fonema errado: k=oito");
  bool found;
  EXPECT_EQ(phonemeDuration("k", found), 100);
  EXPECT_TRUE(found);
  EXPECT_EQ(baseHertz(), 230);
  EXPECT_EQ(pitchLevel(5), 0);
}

TEST_F(OliraProsody, TablesKeepTheirLimits) {
  std::string text = "[DURAÇÃO]\n";
  for (int i = 0; i < 120; ++i) text += "p" + std::to_string(i) + "=" + std::to_string(i) + "\n";
  text += "longname=7\n[CHAVES]\n[PROSÓDIA]\n";
  EXPECT_EQ(messageOf(text, true), "");
  bool found;
  phonemeDuration("p9", found);  // names keep two characters: p9 is there
  EXPECT_TRUE(found);
  EXPECT_EQ(phonemeDuration("lo", found), 100);
  EXPECT_FALSE(found);  // the 101st entry and beyond are left out
}
