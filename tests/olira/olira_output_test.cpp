// The voice as a whole: shipped data files, speaking into a WAV file, the
// engine driver's paths and factors.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "base/config.h"
#include "olira/olira_test_util.h"
#include "engines/olira_driver.h"
#include "engines/olira_output.h"
#include "engines/olira_voice.h"

using namespace varlo;
using varlo::test::cp;
using varlo::test::shippedData;

namespace {

std::string fileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t le32(const std::string& b, size_t at) {
  return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}

bool initShipped() {
  return initSynthesizer("br4", shippedData(".nrl"), shippedData(".exc"), shippedData(".abr"),
                         shippedData(".pro"), shippedData(".dfn"));
}

}  // namespace

TEST(OliraOutput, SpeakingIntoAWavFile) {
  std::string wav = varlo::test::scratchDirectory() + "/fala.wav";
  setOutputFile(wav);
  setFactors(oliraDurationFactor(0), oliraPitchFactor(0));
  ASSERT_TRUE(initShipped());
  EXPECT_FALSE(isSynthPlaying());
  std::string header = fileBytes(wav);
  ASSERT_EQ(header.size(), 44u);
  EXPECT_EQ(header.substr(0, 4), "RIFF");
  EXPECT_EQ(le32(header, 40), 0u);  // sizes are written at close

  EXPECT_TRUE(speakPortuguese("   "));
  EXPECT_EQ(fileBytes(wav).size(), 44u);
  EXPECT_TRUE(speakPortuguese(cp("Olá, mundo. Você tem 3 cartas?")));
  closeSynthesizer();

  std::string bytes = fileBytes(wav);
  ASSERT_GT(bytes.size(), 44u + 16000);  // more than half a second of speech
  EXPECT_EQ(le32(bytes, 4), bytes.size() - 8);
  EXPECT_EQ(le32(bytes, 24), 16000u);   // sample rate
  EXPECT_EQ(bytes[34], 16);             // bits
  EXPECT_EQ(bytes[22], 1);              // mono
  EXPECT_EQ(le32(bytes, 40), bytes.size() - 44);
  bool sound = false;
  for (size_t i = 44; i + 1 < bytes.size() && !sound; i += 2)
    sound = std::abs(int16_t(uint8_t(bytes[i]) | uint8_t(bytes[i + 1]) << 8)) > 1000;
  EXPECT_TRUE(sound);
}

TEST(OliraOutput, InitialisationFailures) {
  setOutputFile("/nonexistent-dir/x.wav");
  EXPECT_FALSE(initShipped());
  EXPECT_FALSE(speakPortuguese("casa"));
  setOutputFile("");
  EXPECT_FALSE(initSynthesizer("br4", "/nonexistent.nrl", shippedData(".exc"),
                               shippedData(".abr"), shippedData(".pro"), shippedData(".dfn")));
  EXPECT_FALSE(initSynthesizer("no-such-voice", shippedData(".nrl"), shippedData(".exc"),
                               shippedData(".abr"), shippedData(".pro"), shippedData(".dfn")));
}

TEST(OliraDriver, SpeedAndPitchBecomeFactors) {
  EXPECT_DOUBLE_EQ(oliraDurationFactor(0), 1.0);
  EXPECT_DOUBLE_EQ(oliraDurationFactor(3), 0.8);
  EXPECT_DOUBLE_EQ(oliraDurationFactor(-3), 1.2);
  EXPECT_DOUBLE_EQ(oliraDurationFactor(15), 0.2);  // never zero or negative
  EXPECT_DOUBLE_EQ(oliraPitchFactor(0), 1.0);
  EXPECT_DOUBLE_EQ(oliraPitchFactor(11), 2.0);
  EXPECT_DOUBLE_EQ(oliraPitchFactor(-50), 0.25);
}

TEST(OliraDriver, DataFilePaths) {
  OliraPaths defaults = oliraPathsFor("", "", "");
  std::string dir = suiteDirectory() + "/olira/";
  EXPECT_EQ(defaults.database, dir + "br4");
  EXPECT_EQ(defaults.files.rules, dir + "portug.nrl");
  EXPECT_EQ(defaults.files.diphones, dir + "portug.dfn");
  OliraPaths own = oliraPathsFor("voz", "/opt/vozes", "meu");
  EXPECT_EQ(own.database, "/opt/vozes/voz");
  EXPECT_EQ(own.files.exceptions, "/opt/vozes/meu.exc");
  EXPECT_EQ(own.files.abbreviations, "/opt/vozes/meu.abr");
  EXPECT_EQ(own.files.prosody, "/opt/vozes/meu.pro");
  EXPECT_EQ(oliraPathsFor("/outro/lugar/br4", "/d/", "b").database, "/outro/lugar/br4");
}

TEST(OliraDriver, RendersThroughTheSuiteData) {
  std::string wav = varlo::test::scratchDirectory() + "/driver.wav";
  ASSERT_TRUE(oliraOpen(1, 0, 0, wav));
  EXPECT_TRUE(oliraSpeak(cp("Bom dia.")));
  EXPECT_FALSE(oliraIsSpeaking());
  EXPECT_EQ(le32(fileBytes(wav), 40), 0u);
  oliraClose();
  std::string bytes = fileBytes(wav);
  EXPECT_EQ(le32(bytes, 40), bytes.size() - 44);
  EXPECT_GT(bytes.size(), 44u + 8000);
}
