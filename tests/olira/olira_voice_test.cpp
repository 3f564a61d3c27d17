// The shipped voice data: words the rules must get right, whole texts
// through every stage, and input that must not upset the voice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "olira/olira_test_util.h"
#include "engines/olira_voice.h"

using namespace varlo;
using varlo::test::cp;

namespace {

class OliraShippedVoice : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    std::string message;
    loaded_ = loadVoiceData(oliraFilesAt(std::string(VARLO_SOURCE_DIR) + "/data/olira", "portug"),
                            message);
    message_ = message;
  }
  void SetUp() override { ASSERT_TRUE(loaded_) << message_; }

  // The phoneme names of a text: words separated by " / ".
  static std::string names(const char* utf8) {
    std::string out;
    bool inWord = false;
    for (const std::string& line : letterToSoundLines(cp(utf8))) {
      if (line.empty() && inWord) out += " /";
      inWord = !line.empty() && line[0] != ';' && line[0] != '_';
      if (inWord) out += " " + line;
    }
    return cp1252ToUtf8(out.empty() ? out : out.substr(1));
  }
  static inline bool loaded_ = false;
  static inline std::string message_;
};

}  // namespace

TEST_F(OliraShippedVoice, ShippedFilesLoadWithoutComplaint) { EXPECT_EQ(message_, ""); }

TEST_F(OliraShippedVoice, StressAndVowelQuality) {
  EXPECT_EQ(names("árvore"), ">a r2 v o r ix /");
  EXPECT_EQ(names("café"), "k a f >eh /");
  EXPECT_EQ(names("porta"), "p >oh r2 t ax /");
  EXPECT_EQ(names("amor"), "ax m >o r2 /");
  EXPECT_EQ(names("ruim"), "rr u >in /");
  EXPECT_EQ(names("parque"), "p >a r2 k ix /");
  EXPECT_EQ(names("continua"), "k on ch i n >u ax /");
  EXPECT_EQ(names("de por com"), "dj ix / p o r2 / k on /");
}

TEST_F(OliraShippedVoice, ConsonantsByContext) {
  EXPECT_EQ(names("casa sapo"), "k >a z ax / s >a p ux /");
  EXPECT_EQ(names("carro rato honra"), "k >a rr ux / rr >a t ux / >on rr ax /");
  EXPECT_EQ(names("chave filho ninho"), "sh >a v ix / f >i lh ux / n >i nh ux /");
  EXPECT_EQ(names("tia dia cidade"), "ch >i ax / dj >i ax / s i d >a dj ix /");
  EXPECT_EQ(names("sol mesmo"), "s >oh w / m >e z m ux /");
  EXPECT_EQ(names("quero aqui guerra"), "k >eh r ux / a k >i / g >eh rr ax /");
  EXPECT_EQ(names("táxi exato texto"), "t >a k s i / e z >a t ux / t >e s2 t ux /");
}

TEST_F(OliraShippedVoice, NasalsAndDiphthongs) {
  EXPECT_EQ(names("pão mãe põe"), "p >an wn / m >an yn / p >on yn /");
  EXPECT_EQ(names("tempo bem homens"), "t >en p ux / b >en yn / >o m en yn s2 /");
  EXPECT_EQ(names("cantamos cantávamos"),
            "k an t >an m ux s2 / k an t >a v ax m ux s2 /");
  EXPECT_EQ(names("ideia muito"), "i d >eh y ax / m >un yn t ux /");
}

TEST_F(OliraShippedVoice, WordsAreLinked) {
  EXPECT_EQ(names("os amigos"), "ux z / ax m >i g ux s2 /");
  EXPECT_EQ(names("mar azul"), "m >a r / a z >u w /");
  EXPECT_EQ(names("os, amigos"), "ux s2 / ax m >i g ux s2 /");
}

TEST_F(OliraShippedVoice, TextsBecomeSynthesizerLines) {
  std::vector<std::string> lines = textToPhonemeLines(cp("Sr. Silva, 2ª casa?"), 0.8, 1.0);
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  EXPECT_NE(all.find(";senhor\n"), std::string::npos);
  EXPECT_NE(all.find(";segunda\n"), std::string::npos);
  EXPECT_NE(all.find(";?\n_ "), std::string::npos);
  // Every non-comment line is "name duration [position pitch]".
  for (const std::string& l : lines) {
    if (l.empty() || l[0] == ';') continue;
    int fields = 1;
    for (char c : l) fields += c == ' ';
    EXPECT_TRUE(fields == 2 || fields == 4) << l;
    EXPECT_EQ(l.find('>'), std::string::npos) << l;
  }
}

TEST_F(OliraShippedVoice, OddInputGivesBoundedOutput) {
  std::string longWord(200, 'x');
  EXPECT_LT(textToPhonemeLines(longWord, 1.0, 1.0).size(), 200u * 6);  // spelled: xis xis ...
  std::string symbols = "$%&*+=<>[]{}|~^@#";
  std::vector<std::string> lines = textToPhonemeLines(symbols, 1.0, 1.0);
  EXPECT_GT(lines.size(), symbols.size());  // every symbol is said
  std::string digits(30, '9');
  lines = textToPhonemeLines(digits, 1.0, 1.0);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), ";nove"), 30);
  EXPECT_EQ(textToPhonemeLines("", 1.0, 1.0),
            (std::vector<std::string>{";", "_ 150 50 200", "", "_ 150"}));  // boundary pauses only
}

namespace {

// The pitch points (Hz) of the sounding lines of a text, in order.
std::vector<double> pitchPoints(const char* utf8) {
  std::vector<double> points;
  for (const std::string& line : textToPhonemeLines(cp(utf8), 1.0, 1.0)) {
    if (line.empty() || line[0] == ';') continue;
    std::istringstream fields(line);
    std::string name;
    int ms = 0, position = 0, hz = 0;
    if (fields >> name >> ms >> position >> hz && name != "_") points.push_back(hz);  // not pauses
  }
  return points;
}

double semitones(double from, double to) { return 12 * std::log2(to / from); }

}  // namespace

// Intonation: the last word's stress leads a statement down and a yes/no
// question up, by 3 semitones or more to its end; stressed syllables of the
// sentence stand out from what is around them.
TEST_F(OliraShippedVoice, StatementsFallAndQuestionsRise) {
  for (const char* text : {"Você vai sair hoje.", "Ele comprou o livro."}) {
    std::vector<double> p = pitchPoints(text);
    ASSERT_GE(p.size(), 3u) << text;
    EXPECT_LE(semitones(p[p.size() - 2], p.back()), -3) << text;
  }
  for (const char* text : {"Você vai sair hoje?", "Ele comprou o livro?"}) {
    std::vector<double> p = pitchPoints(text);
    ASSERT_GE(p.size(), 3u) << text;
    EXPECT_GE(semitones(p[p.size() - 2], p.back()), 3) << text;
  }
  std::vector<double> p = pitchPoints("O menino comprou um livro novo para a mãe dele.");
  auto [low, high] = std::minmax_element(p.begin(), p.end());
  EXPECT_GE(semitones(*low, *high), 6);
}
