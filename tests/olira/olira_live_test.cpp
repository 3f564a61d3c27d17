// Live speech of the voice through the wave player, checked on the sound
// layer's capture file: what is heard equals what a WAV file receives, and
// a key press silences the rest.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "console/console.h"
#include "olira/olira_test_util.h"
#include "platform/audio_capture_reader.h"
#include "engines/olira_output.h"
#include "sound/wave_player.h"

using namespace varlo;
using varlo::test::cp;
using varlo::test::shippedData;

namespace {

const char* kText =
    "Quem não tem cão caça com gato. Devagar se vai ao longe, e a pressa é inimiga da "
    "perfeição. Mais vale um pássaro na mão do que dois voando.";

std::string dir;
std::string capture;

bool initShipped(const std::string& output) {
  setOutputFile(output);
  setFactors(0.8, 1.0);
  return initSynthesizer("br4", shippedData(".nrl"), shippedData(".exc"), shippedData(".abr"),
                         shippedData(".pro"), shippedData(".dfn"));
}

std::vector<uint8_t> renderToFile() {
  std::string wav = dir + "/ref.wav";
  EXPECT_TRUE(initShipped(wav));
  EXPECT_TRUE(speakPortuguese(cp(kText)));
  closeSynthesizer();
  std::ifstream in(wav, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
  return std::vector<uint8_t>(bytes.begin() + 44, bytes.end());
}

void speakLive() {
  ASSERT_TRUE(initShipped(""));
  EXPECT_TRUE(speakPortuguese(cp(kText)));
  while (isSynthPlaying()) pumpMessages();
  closeSynthesizer();
}

class OliraLive : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir = varlo::test::scratchDirectory();
    capture = dir + "/sound.cap";
    setenv("VARLO_AUDIO", ("capture:" + capture).c_str(), 1);
  }
};

}  // namespace

TEST_F(OliraLive, LiveSoundIsTheSameAsTheFile) {
  std::vector<uint8_t> file = renderToFile();
  ASSERT_GT(file.size(), 100000u);
  speakLive();
  std::vector<CaptureRecord> records = readCapture(capture);
  ASSERT_FALSE(records.empty());
  for (const CaptureRecord& r : records)
    if (r.kind == CaptureRecord::Kind::play) {
      EXPECT_EQ(r.format.rate, 16000);
      EXPECT_EQ(r.format.bits, 16);
      EXPECT_EQ(r.format.channels, 1);
    }
  EXPECT_EQ(heardBytes(records), file);
}

TEST_F(OliraLive, AKeyPressSilencesTheRest) {
  std::vector<uint8_t> file = renderToFile();
  std::remove(capture.c_str());
  injectKeys("x");
  speakLive();
  flushKeyQueue();
  EXPECT_LT(heardBytes(readCapture(capture)).size(), file.size() / 2);
  EXPECT_TRUE(waveSettings().keyInterrupt);
}
