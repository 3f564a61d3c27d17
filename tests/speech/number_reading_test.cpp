// Number words, their recording names, the clock and the date.
#include <string>
#include <vector>

#include "speech/number_reading.h"
#include "speech_fixture.h"

namespace varlo::test {
namespace {

using Names = std::vector<std::string>;

// Trailing spaces of the group names aside.
std::string words(uint32_t n) {
  std::string w = numberWords(n);
  while (!w.empty() && w.back() == ' ') w.pop_back();
  return w;
}

TEST(NumberWords, SmallNumbersAndHundreds) {
  EXPECT_EQ(words(0), "zero");
  EXPECT_EQ(words(7), "sete");
  EXPECT_EQ(words(21), "vinte e um");
  EXPECT_EQ(words(100), "cem");
  EXPECT_EQ(words(101), "cento e um");
  EXPECT_EQ(words(115), "cento e quinze");
  EXPECT_EQ(words(340), "trezentos e quarenta");
  EXPECT_EQ(words(999), "novecentos e noventa e nove");
}

TEST(NumberWords, GroupsJoinWithTheirNames) {
  EXPECT_EQ(words(1000), "mil");
  EXPECT_EQ(words(1100), "mil e cem");
  EXPECT_EQ(words(2500), "dois mil e quinhentos");
  EXPECT_EQ(words(100000), "cem mil");
  EXPECT_EQ(words(1200300), "um milh\xE3o duzentos mil e trezentos");
  EXPECT_EQ(words(1000000), "um milh\xE3o");
  EXPECT_EQ(words(2000000), "dois milh\xF5" "es");
  EXPECT_EQ(words(1001000), "um milh\xE3o e um mil");
  EXPECT_EQ(words(4294967295u),
            "quatro bilh\xF5" "es duzentos e noventa e quatro milh\xF5" "es "
            "novecentos e sessenta e sete mil duzentos e noventa e cinco");
  EXPECT_EQ(words(1822), "mil oitocentos e vinte e dois");
  EXPECT_EQ(words(2030), "dois mil e trinta");
}

TEST(NumberWords, RecordingNamesAreCutToEightCharacters) {
  EXPECT_EQ(wordRecordingNames(numberWords(17), false), (Names{"_dezeset"}));
  EXPECT_EQ(wordRecordingNames(numberWords(16), false), (Names{"_dezesse"}));
  EXPECT_EQ(wordRecordingNames(numberWords(2000000), false), (Names{"_dois", "_milhoes"}));
  EXPECT_EQ(wordRecordingNames(numberWords(1000000), false), (Names{"_um", "_milhao"}));
  EXPECT_EQ(wordRecordingNames("quatrocentos e um", true),
            (Names{"_quatroc", "_e", "_uma"}));
  EXPECT_EQ(wordRecordingNames("dois mil", true), (Names{"_dois", "_mil"}));
  EXPECT_EQ(wordRecordingNames("vinte e dois", true), (Names{"_vinte", "_e", "_duas"}));
}

TEST(Clock, HourAndMinuteSentences) {
  EXPECT_EQ(hourMinuteRecordings(1, 1), (Names{"_uma", "_hora", "_um", "_minuto"}));
  EXPECT_EQ(hourMinuteRecordings(22, 0), (Names{"_vinte", "_e", "_duas", "_horas"}));
  EXPECT_EQ(hourMinuteRecordings(0, 30), (Names{"_zero", "_hora", "_trinta", "_minutos"}));
  EXPECT_EQ(hourMinuteRecordings(12, 2), (Names{"_doze", "_horas", "_dois", "_minutos"}));
}

TEST(Clock, DateSentences) {
  EXPECT_EQ(dateRecordings(1, 5, 2026),
            (Names{"_Sexta", "_primeir", "_de", "_Maio", "_de", "_dois", "_mil", "_e",
                   "_vinte", "_e", "_seis"}));
  EXPECT_EQ(dateRecordings(25, 12, 2000),
            (Names{"_Segunda", "_vinte", "_e", "_cinco", "_de", "_Dezembr", "_de", "_dois",
                   "_mil"}));
  EXPECT_EQ(dateRecordings(29, 2, 2024),
            (Names{"_Quinta", "_vinte", "_e", "_nove", "_de", "_Feverei", "_de", "_dois",
                   "_mil", "_e", "_vinte", "_e", "_quatro"}));
  // Years outside this century are said whole.
  EXPECT_EQ(dateRecordings(7, 9, 1822),
            (Names{"_Sabado", "_sete", "_de", "_Setembr", "_de", "_mil", "_oitocen", "_e",
                   "_vinte", "_e", "_dois"}));
  EXPECT_TRUE(dateRecordings(1, 13, 2026).empty());
}

TEST(Clock, SentencesAsTextForAnEngine) {
  EXPECT_EQ(hourMinuteText(22, 30), "vinte e duas horas e trinta minutos");
  EXPECT_EQ(hourMinuteText(1, 0), "uma hora");
  EXPECT_EQ(dateText(1, 5, 2026), "sexta-feira, primeiro de maio de dois mil e vinte e seis");
  EXPECT_EQ(dateText(3, 3, 2027), "quarta-feira, tres de mar\xE7o de dois mil e vinte e sete");
}

class JoinedWords : public SpeechFixture {};

TEST_F(JoinedWords, LongWordsArePlayedInPiecesOfAtMost30000Bytes) {
  addRecording("_vinte", 12000);
  addRecording("_e", 12000);
  addRecording("_tres", 12000);
  playWords(numberWords(23), false);
  EXPECT_EQ(heardNames(),
            (Names{"_vinte", "_e", "_tres", "<joined 24000>", "<joined 12000>"}));
}

TEST_F(JoinedWords, OtherFormatsAndMissingWordsDoNotBreakTheSentence) {
  addRecording("_uma", 200);
  // A 16-bit recording cannot be joined: it is played on its own.
  auto header = buildWavHeader(22050, 16, 400, 1);
  std::ofstream out(letters / "_hora.wav", std::ios::binary);
  out.write(reinterpret_cast<const char*>(header.data()), header.size());
  out << std::string(400, '\0');
  out.close();
  addRecording("_minuto", 100);
  sayHourMinute(1, 1);   // "_um" is missing
  EXPECT_EQ(heardNames(), (Names{"_uma", "_hora", "<joined 200>", "_um", "_minuto",
                                 "<joined 100>"}));
}

}  // namespace
}  // namespace varlo::test
