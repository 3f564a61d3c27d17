// The voice file and the diphone list shipped with the Olira voice, and
// the loader's refusal of faulty voice files.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

#include "engines/synth.h"
#include "engines/synth_voice.h"
#include "synth/synth_fixture.h"

using namespace varlo;

namespace {

const char* const kInventory[] = {"_",  "a",  "e",  "eh", "i",  "o",  "oh", "u",  "ax", "ix", "ux",
                                  "an", "en", "in", "on", "un", "y",  "w",  "yn", "wn", "p",  "b",
                                  "t",  "d",  "k",  "g",  "f",  "v",  "s",  "z",  "sh", "zh", "ch",
                                  "dj", "m",  "n",  "nh", "l",  "lh", "r",  "rr", "r2", "s2"};

std::string upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

// The diphone list read the way the front end reads it: two runs of
// "2", "@".."Z" (any case) and "_" per line.
std::set<std::string> readDiphones(const std::string& path) {
  std::ifstream in(path);
  std::set<std::string> out;
  for (std::string line; std::getline(in, line);) {
    if (line.empty() || line[0] == '!' || line[0] == '*' || line[0] == ';') continue;
    std::vector<std::string> names(1);
    for (char c : line) {
      char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (u == '2' || u == '_' || (u >= '@' && u <= 'Z'))
        names.back() += u;
      else if (!names.back().empty())
        names.emplace_back();
    }
    if (names.back().empty()) names.pop_back();
    EXPECT_EQ(names.size(), 2u) << line;
    if (names.size() == 2) out.insert(names[0] + "-" + names[1]);
  }
  return out;
}

class VoiceFile : public ::testing::Test {
 protected:
  // ctest runs each case in its own process, side by side: one file each.
  std::string path = ::testing::TempDir() + "synth_voice_test_" +
                     ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".voz";
  void TearDown() override {
    std::filesystem::remove(path);
    synthClose();
  }
  void write(const std::string& text) { std::ofstream(path) << text; }
};

}  // namespace

TEST(SynthVoice, ShippedVoiceHasTheWholeInventory) {
  Voice voice;
  std::string error;
  ASSERT_TRUE(loadVoice(test::shippedVoice(), voice, error)) << error;
  for (const char* name : kInventory) EXPECT_GE(findPhone(voice, name), 0) << name;
  EXPECT_EQ(findPhone(voice, "SH"), findPhone(voice, "sh"));
  EXPECT_EQ(findPhone(voice, "x"), -1);
  EXPECT_EQ(voice.phones[voice.silence].cls, PhoneClass::Silence);
  // Coda s becomes z before voiced consonants.
  const PhoneDef& s2 = voice.phones[findPhone(voice, "s2")];
  ASSERT_GE(s2.voicedAlt, 0);
  EXPECT_EQ(voice.phones[s2.voicedAlt].name, "z");
}

TEST(SynthVoice, DiphoneListCoversEveryPairOfTheVoice) {
  Voice voice;
  std::string error;
  ASSERT_TRUE(loadVoice(test::shippedVoice(), voice, error)) << error;
  auto diphones = readDiphones(std::string(VARLO_SOURCE_DIR) + "/data/olira/portug.dfn");
  for (const std::string& d : diphones) {
    auto dash = d.find('-');
    EXPECT_GE(findPhone(voice, d.substr(0, dash)), 0) << d;
    EXPECT_GE(findPhone(voice, d.substr(dash + 1)), 0) << d;
  }
  for (const char* a : kInventory)
    for (const char* b : kInventory) EXPECT_TRUE(diphones.count(upper(a) + "-" + upper(b))) << a << "-" << b;
}

TEST_F(VoiceFile, InitAcceptsTheFileOrItsDirectory) {
  EXPECT_EQ(synthInit(test::shippedVoice()), 0) << synthLastError();
  EXPECT_EQ(synthInit(std::string(VARLO_SOURCE_DIR) + "/data/olira"), 0) << synthLastError();
}

TEST_F(VoiceFile, FaultyVoiceFilesFailInit) {
  const std::string good = "pitch 200\nphoneme _ silence\nphoneme a vowel f1=800 f2=1400 f3=2700\n";
  write(good);
  ASSERT_EQ(synthInit(path), 0) << synthLastError();
  for (const std::string& bad : {
           std::string("phoneme a vowel f1=800\n"),                        // no "_"
           good + "phoneme e vowel f1=abc\n",                               // not a number
           good + "phoneme e vowel f1=20000\n",                             // out of range
           good + "phoneme e vowel f1\n",                                   // no value
           good + "phoneme e vowel colour=blue\n",                          // unknown field
           good + "phoneme e sound\n",                                      // unknown class
           good + "phoneme a vowel\n",                                      // defined twice
           good + "phoneme e-1 vowel\n",                                    // name unfit for diphones
           good + "phoneme s fricative voiced=zz\n",                        // unknown voiced form
           good + "phoneme s fricative like=zz\n",                          // unknown model
           good + "class vowel like=a\n",                                   // like= on a class
           good + "source oq=1.5\n",                                        // impossible source
           good + "source emphasis=0.95\n",                                 // would divide by ~0
           good + "pitch\n",                                                // no value
           good + "loud yes\n",                                             // unknown statement
       }) {
    write(bad);
    EXPECT_EQ(synthInit(path), kSynthErrDatabase) << bad;
    EXPECT_NE(synthLastError().find(path), std::string::npos) << synthLastError();
    // A failed init leaves nothing usable behind.
    EXPECT_EQ(synthWrite("a 100\n"), kSynthErrNotReady);
  }
  EXPECT_EQ(synthInit(path + ".missing"), kSynthErrDatabase);
  EXPECT_EQ(synthInit(""), kSynthErrDatabase);
}

TEST_F(VoiceFile, LikeCopiesAndFieldsOverride) {
  write("phoneme _ silence\nphoneme s fricative f2=1700 af=58 a6=62\nphoneme z fricative like=s av=50\n");
  Voice voice;
  std::string error;
  ASSERT_TRUE(loadVoice(path, voice, error)) << error;
  const PhoneDef& z = voice.phones[findPhone(voice, "z")];
  EXPECT_FLOAT_EQ(z.target[kF2], 1700);
  EXPECT_FLOAT_EQ(z.amp[kA6], dbToLinear(62));
  EXPECT_FLOAT_EQ(z.amp[kAv], 1.0f / 3.1622777f);
  EXPECT_EQ(z.name, "z");
}
