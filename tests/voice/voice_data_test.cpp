// The voice-data tool: what it writes is complete, in the suite voice's
// format and within its size limits, the same at every run, and covers the
// segments that the shipped rules ask for.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

#include "base/codepage.h"
#include "engines/diphone_voice.h"
#include "engines/unit_translator.h"
#include "speech/number_reading.h"
#include "voice/voice_test_util.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

uint32_t le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | uint8_t(b[at + i]);
  return v;
}

// The recordings the build made with the tool into the suite directory.
class VoiceData : public ::testing::Test {
 protected:
  const fs::path out = fs::path(VARLO_SUITE_DIR) / "som";
};

TEST_F(VoiceData, EveryRecordingIsEightBitMonoWithinItsLimit) {
  std::set<std::string> words;
  for (uint32_t n : {0u, 17u, 16u, 99u, 115u, 999u, 1000u, 2000000u, 1200300u})
    for (const std::string& w : wordRecordingNames(numberWords(n), false)) words.insert(w);
  for (const std::string& w : hourMinuteRecordings(1, 1)) words.insert(w);
  for (const std::string& w : dateRecordings(1, 5, 2026)) words.insert(w);
  int files = 0;
  for (const auto& dir : {out / "letras", out / "varlo"}) {
    for (const auto& entry : fs::directory_iterator(dir)) {
      const std::string b = slurp(entry.path());
      const std::string name = entry.path().stem().string();
      ASSERT_GE(b.size(), 45u) << name;
      EXPECT_EQ(b.substr(0, 4) + b.substr(8, 8) + b.substr(36, 4), "RIFFWAVEfmt data") << name;
      EXPECT_EQ(le(b, 20, 2), 1u) << name;
      EXPECT_EQ(le(b, 22, 2), 1u) << name;
      EXPECT_EQ(le(b, 24, 4), 11025u) << name;
      EXPECT_EQ(le(b, 34, 2), 8u) << name;
      EXPECT_EQ(le(b, 40, 4), b.size() - 44) << name;
      EXPECT_LE(b.size() - 44, words.count(name) ? 30000u : 64000u) << name;
      ++files;
    }
  }
  EXPECT_GT(files, 400);
  for (const std::string& w : words) EXPECT_TRUE(fs::exists(out / "letras" / (w + ".wav"))) << w;
}

TEST_F(VoiceData, LettersTonesCuesAndEarconsAreAllThere) {
  auto has = [this](const std::string& dir, const std::string& name) {
    return fs::exists(out / dir / (name + ".wav"));
  };
  for (int c = 32; c < 256; ++c) {
    const bool undefined = c == 127 || c == 129 || c == 141 || c == 143 || c == 144 || c == 157;
    EXPECT_EQ(has("letras", "_" + std::to_string(c)), !undefined) << c;
  }
  for (const char* name : {"_unknown", "_FON9", "_FON65", "_FON122", "_zero", "_MENOS", "_DEL", "_SEMBAT",
                           "_SEMENER", "_VELOC", "_FALACI", "_FALDLG", "_APFCPO", "_APICPO", "_CPOAPA",
                           "_BUSCAR", "_ACHEI", "_NAOACH", "dtmf_0", "dtmf_9", "dtmf_#", "dtmf_X"})
    EXPECT_TRUE(has("letras", name)) << name;
  for (const char* name : {"VLMENU", "VLSAI", "VLEFEITO"}) EXPECT_TRUE(has("varlo", name)) << name;
}

TEST_F(VoiceData, IndexIsSortedAndPointsInsideTheDataFile) {
  const std::string index = slurp(out / "difones" / "DIFONES2.IND");
  const size_t data = fs::file_size(out / "difones" / "DIFONES2.DIF");
  ASSERT_EQ(index.size() % kIndexRecordBytes, 0u);
  ASSERT_LE(index.size() / kIndexRecordBytes, 2001u);
  std::string previous;
  for (size_t at = 0; at < index.size(); at += kIndexRecordBytes) {
    const std::string name = index.substr(at + 1, uint8_t(index[at]));
    ASSERT_LE(name.size(), kSegmentNameLength);
    if (at > 0) {
      EXPECT_TRUE(segmentNameBefore(previous, name)) << previous << " " << name;
    }
    EXPECT_GT(le(index, at + 9, 2), 0u) << name;
    EXPECT_LE(le(index, at + 11, 4) + le(index, at + 9, 2), data) << name;
    previous = name;
  }
}

// The samples of one segment of the data file, "" when it is not indexed.
std::string segmentSamples(const fs::path& difones, const std::string& wanted) {
  const std::string index = slurp(difones / "DIFONES2.IND");
  for (size_t at = 0; at + kIndexRecordBytes <= index.size(); at += kIndexRecordBytes)
    if (index.substr(at + 1, uint8_t(index[at])) == wanted)
      return slurp(difones / "DIFONES2.DIF").substr(le(index, at + 11, 4), le(index, at + 9, 2));
  return "";
}

double rmsOf(const std::string& samples) {
  double sum = 0;
  for (unsigned char c : samples) sum += (double(c) - 128) * (double(c) - 128);
  return samples.empty() ? 0 : std::sqrt(sum / double(samples.size()));
}

// A unit that starts with a voiceless stop keeps the stop's closure, so
// that "pato" has its silence before the t; and units are not levelled one
// by one, so a close vowel stays quieter than an open one, as in Olira.
TEST_F(VoiceData, UnitsKeepClosuresAndLevelDifferences) {
  for (const char* unit : {"$PA", "$TA", "$KA"}) {
    const std::string s = segmentSamples(out / "difones", unit);
    ASSERT_GT(s.size(), 1000u) << unit;
    EXPECT_LT(rmsOf(s.substr(0, 275)), 2) << unit << ": 25 ms of closure";
    EXPECT_GT(rmsOf(s.substr(s.size() / 2, 500)), 10) << unit;
  }
  const double open = rmsOf(segmentSamples(out / "difones", "$A"));
  const double close = rmsOf(segmentSamples(out / "difones", "$I"));
  EXPECT_GT(20 * std::log10(open / close), 2) << open << " " << close;
}

// Power of one frequency in 8-bit samples (Goertzel), relative to the total.
double shareAt(const std::string& samples, double hz) {
  const double w = 2 * M_PI * hz / 11025, coefficient = 2 * std::cos(w);
  double s1 = 0, s2 = 0, total = 0;
  for (unsigned char c : samples) {
    const double x = double(c) - 128;
    const double s0 = x + coefficient * s1 - s2;
    s2 = s1, s1 = s0, total += x * x;
  }
  const double power = s1 * s1 + s2 * s2 - coefficient * s1 * s2;
  return power / (total * double(samples.size()) / 2 + 1);
}

TEST_F(VoiceData, TelephoneTonesHoldTheirKeysFrequencyPair) {
  const std::vector<std::pair<std::string, std::pair<double, double>>> keys = {
      {"1", {697, 1209}}, {"5", {770, 1336}}, {"9", {852, 1477}}, {"0", {941, 1336}},
      {"X", {941, 1209}}, {"#", {941, 1477}}};
  for (const auto& [key, pair] : keys) {
    const std::string samples = slurp(out / "letras" / ("dtmf_" + key + ".wav")).substr(44);
    EXPECT_GT(shareAt(samples, pair.first), 0.3) << key;
    EXPECT_GT(shareAt(samples, pair.second), 0.3) << key;
    for (double other : {697.0, 770.0, 852.0, 941.0, 1209.0, 1336.0, 1477.0}) {
      if (other != pair.first && other != pair.second) {
        EXPECT_LT(shareAt(samples, other), 0.05) << key << " " << other;
      }
    }
  }
}

// The tool run again gives the bytes the build wrote.
TEST_F(VoiceData, RunsGiveTheSameBytes) {
  const fs::path again = test::makeVoiceDir("varlo-voice-data");
  const std::string command = std::string(VARLO_BINARY_DIR) + "/voice-data " + (again / "letras").string() +
                              " " + (again / "difones").string() + " " + (again / "varlo").string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  size_t files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(again)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), again);
    EXPECT_TRUE(slurp(entry.path()) == slurp(out / relative)) << relative;
    ++files;
  }
  EXPECT_GT(files, 400u);
  fs::remove_all(again);
}

// Everyday words find their segments with the shipped rules, without
// falling back to parts.
TEST_F(VoiceData, ShippedRulesFindTheirSegments) {
  ASSERT_EQ(loadDiphoneVoice((out / "letras").string(), (out / "difones").string()), 0);
  size_t heard = 0;
  setDiphoneOutput([&heard](const uint8_t*, size_t size) { heard += size; });
  diphoneStats() = {};
  const char* text =
      "O menino comeu o pão com manteiga e foi à escola. Amanhã vamos viajar de carro "
      "para São Paulo; a estrada é longa, mas a paisagem é bonita. Você quer café ou chá? "
      "Trabalho, ninho, filho, guerra, queijo, quatro, tia, dia, cidade, exemplo, táxi, "
      "Brasil, português, coração, música, rápido, lâmpada, três, avô, avó, Wagner.";
  speakUnits(translateText(utf8ToCp1252(text)), false);
  setDiphoneOutput(nullptr);
  closeDiphoneVoice();
  const DiphoneStats s = diphoneStats();
  EXPECT_GT(heard, 11025u * 5);
  EXPECT_EQ(s.noise, 0);
  EXPECT_EQ(s.missing, 0);
  EXPECT_LE(s.fallback * 20, s.found) << s.fallback << " fallbacks, " << s.found << " found";
  EXPECT_GT(s.found, 100);
}

}  // namespace
}  // namespace varlo
