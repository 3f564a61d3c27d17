// The engine dispatcher with the espeak-ng voices: rendering into WAV files,
// voices and rates, the silence element, engines that cannot open, and the
// front end falling back to the recorded voice.
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "speech/speech.h"
#include "speech/speech_state.h"
#include "speech/number_reading.h"
#include "engines/engines.h"
#include "engines/espeak_driver.h"
#include "speech_fixture.h"

namespace varlo::test {
namespace {

struct WavFile {
  size_t fileSize = 0;
  uint32_t riffSize = 0, dataSize = 0, rate = 0;
  uint16_t format = 0, channels = 0, bits = 0;
  std::string tags;   // "RIFF", "WAVE", "fmt ", "data" run together
};

WavFile readWav(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WavFile w;
  w.fileSize = bytes.size();
  if (bytes.size() < 44) return w;
  auto u32 = [&](size_t at) { uint32_t v; std::memcpy(&v, &bytes[at], 4); return v; };
  auto u16 = [&](size_t at) { uint16_t v; std::memcpy(&v, &bytes[at], 2); return v; };
  w.tags = bytes.substr(0, 4) + bytes.substr(8, 8) + bytes.substr(36, 4);
  w.riffSize = u32(4);
  w.format = u16(20);
  w.channels = u16(22);
  w.rate = u32(24);
  w.bits = u16(34);
  w.dataSize = u32(40);
  return w;
}

std::string soxInfo(const fs::path& path, const char* option) {
  std::string command = "sox --i " + std::string(option) + " '" + path.string() + "' 2>&1";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 256> line;
    while (fgets(line.data(), line.size(), pipe)) out += line.data();
    pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

class EspeakEngine : public SpeechFixture {
 protected:
  // Renders a text with the given voice and rate; the file's sample count.
  uint32_t render(const fs::path& file, int voice, int rate, const std::string& text) {
    EXPECT_TRUE(openEngine(kEngineEspeak, voice, rate, 0, file.string()));
    speakText(text);
    EXPECT_FALSE(isSpeaking(false));   // a file is rendered before speakText returns
    closeEngine();
    return readWav(file).dataSize / 2;
  }
};

TEST_F(EspeakEngine, RendersACanonicalWaveFileWhoseSizesAreWrittenAtClose) {
  fs::path file = root / "fala.wav";
  ASSERT_TRUE(openEngine(kEngineEspeak, 1, 0, 0, file.string()));
  EXPECT_EQ(engineOutputFile(), file.string());
  speakText("Bom dia, mundo. Isto \xE9 um teste da voz.");
  WavFile during = readWav(file);
  EXPECT_EQ(during.dataSize, 0u);   // complete only after the close
  closeEngine();

  WavFile w = readWav(file);
  EXPECT_EQ(w.tags, "RIFFWAVEfmt data");
  EXPECT_EQ(w.format, 1);
  EXPECT_EQ(w.channels, 1);
  EXPECT_EQ(w.bits, 16);
  EXPECT_EQ(w.rate, 22050u);
  EXPECT_EQ(w.dataSize, w.fileSize - 44);
  EXPECT_EQ(w.riffSize, w.fileSize - 8);
  EXPECT_GT(w.dataSize, 22050u);   // more than half a second of speech
  EXPECT_EQ(soxInfo(file, "-r"), "22050");
  EXPECT_EQ(soxInfo(file, "-c"), "1");
  EXPECT_EQ(soxInfo(file, "-s"), std::to_string(w.dataSize / 2));
}

TEST_F(EspeakEngine, BrazilianVoiceComesFirstAndOutOfRangeVoicesUseIt) {
  ASSERT_TRUE(openEngine(kEngineEspeak, 1, 0, 0, ""));
  closeEngine();
  EXPECT_GT(voiceCount(), 1);
  EXPECT_NE(voiceName(1).find("Brazil"), std::string::npos) << voiceName(1);
  EXPECT_EQ(voiceName(voiceCount() + 1), "");
  // Voice 0 is out of range: voice 1 at the default rate, not rate 10.
  uint32_t first = render(root / "a.wav", 1, 0, "um dois tr\xEAs quatro");
  uint32_t outOfRange = render(root / "b.wav", 0, 10, "um dois tr\xEAs quatro");
  EXPECT_NEAR(double(first), double(outOfRange), first * 0.01);
}

TEST_F(EspeakEngine, RateChangesTheLengthOfSpeech) {
  const std::string text = "Era uma vez um gato que morava numa casa amarela.";
  uint32_t slow = render(root / "lento.wav", 1, -10, text);
  uint32_t normal = render(root / "normal.wav", 1, 0, text);
  uint32_t fast = render(root / "rapido.wav", 1, 10, text);
  EXPECT_GT(slow, normal * 3 / 2);
  EXPECT_GT(normal, fast * 3 / 2);
  // A rate the voice does not take leaves the default.
  EXPECT_NEAR(double(render(root / "fora.wav", 1, 300, text)), double(normal), normal * 0.01);
}

TEST_F(EspeakEngine, SilenceElementBecomesAPauseOfItsLength) {
  fs::path file = root / "silencio.wav";
  ASSERT_TRUE(openEngine(kEngineEspeak, 1, 0, 0, file.string()));
  EXPECT_FALSE(xmlMode());
  setXmlMode(true);
  speakText("<silence msec=\"1500\"/>");
  setXmlMode(false);
  closeEngine();
  double seconds = readWav(file).dataSize / 2 / 22050.0;
  EXPECT_GT(seconds, 1.3);
  EXPECT_LT(seconds, 2.0);
  auto pieces = splitSilences("a <silence msec=\"20\"/><silence msec=\"5\"/> b <silence x/>");
  ASSERT_EQ(pieces.size(), 4u);
  EXPECT_EQ(pieces[0].text, "a ");
  EXPECT_EQ(pieces[1].silenceMs, 20);
  EXPECT_EQ(pieces[2].silenceMs, 5);
  EXPECT_EQ(pieces[3].text, " b <silence x/>");
  EXPECT_EQ(pieces[3].silenceMs, 0);
}

// Type 4 is Speech Dispatcher, and no server answers at the fixture's address.
TEST_F(EspeakEngine, UnknownTypesActAsEspeakAndTypeFourNeedsItsServer) {
  EXPECT_FALSE(openEngine(kEngineOldInterface, 0, 0, 0, ""));
  EXPECT_EQ(currentEngineType(), kEngineOldInterface);
  EXPECT_FALSE(isSpeaking(false));
  EXPECT_EQ(voiceCount(), 0);
  for (int type : {2, 6, kEngineEspeakAlt}) {
    ASSERT_TRUE(openEngine(type, 1, 0, 0, "")) << type;
    EXPECT_GT(voiceCount(), 0);
    closeEngine();
  }
}

TEST_F(EspeakEngine, FilesThatCannotBeWrittenAreReported) {
  EXPECT_FALSE(openEngine(kEngineEspeak, 1, 0, 0, (root / "nao" / "existe.wav").string()));
  // A full disk shows after the close.
  ASSERT_TRUE(openEngine(kEngineEspeak, 1, 0, 0, "/dev/full"));
  speakText("Uma frase longa o bastante para encher o disco.");
  closeEngine();
  EXPECT_TRUE(engineOutputFailed());
  render(root / "bom.wav", 1, 0, "Agora sim.");
  EXPECT_FALSE(engineOutputFailed());
}

TEST_F(EspeakEngine, FrontEndFallsBackToTheRecordedVoiceWhenTheEngineFails) {
  // Type 4 without its server.
  configure("SAPI=SIM\n[SERVFALA]\nTIPOSAPI=4\nVOZ=1\n");
  initSpeech(0, sounds.string());
  EXPECT_FALSE(engineActive());
  heard().clear();
  speak("casa");
  EXPECT_EQ(heardNames(), (std::vector<std::string>{"<words casa >"}));

  // With a working engine the text goes to it, and the recorded voice is silent.
  reconfigureSpeech(3, true, kEngineEspeak, 0, 0, 0);
  EXPECT_TRUE(engineActive());
  heard().clear();
  speak("casa");
  EXPECT_TRUE(heard().empty());
  stopSpeech();
  EXPECT_FALSE(isBusy());

  reconfigureSpeech(3, true, kEngineOldInterface, 1, 0, 0);
  EXPECT_FALSE(engineActive());
}

TEST_F(EspeakEngine, FrontEndRendersIntoTheOutputFile) {
  fs::path file = root / "livro.wav";
  setSpeechOutputFile(file.string());
  reconfigureSpeech(3, true, kEngineEspeak, 1, 0, 0);
  ASSERT_TRUE(engineActive());
  speak("Primeira frase.");
  speak("Segunda frase.");
  EXPECT_FALSE(isBusy());
  reconfigureSpeech(3, false, 0, 0, 0, 0);
  setSpeechOutputFile("");
  WavFile w = readWav(file);
  EXPECT_EQ(w.dataSize, w.fileSize - 44);
  EXPECT_GT(w.dataSize, 22050u);
}

TEST_F(EspeakEngine, WithoutRecordingsTheEngineSaysLettersAndTheClock) {
  fs::path file = root / "eco.wav";
  setSpeechOutputFile(file.string());
  reconfigureSpeech(3, true, kEngineEspeak, 1, 0, 0);
  ASSERT_TRUE(engineActive());
  sayChar('a');
  sayChar(',');
  sayHourMinute(10, 15);
  reconfigureSpeech(3, false, 0, 0, 0, 0);
  setSpeechOutputFile("");
  // Recordings were not there, so nothing was played from files...
  for (const Heard& h : heard()) EXPECT_NE(h.event, SoundEvent::joined);
  // ...and the engine said it all: well over a second of speech.
  EXPECT_GT(readWav(file).dataSize / 2, 22050u * 3 / 2);
  EXPECT_EQ(characterName(','), "v\xEDrgula");
  EXPECT_EQ(characterName('a'), "a");
}

}  // namespace
}  // namespace varlo::test
