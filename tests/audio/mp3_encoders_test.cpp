// MP3 encoders running beside the rendering: what the encoder of a text
// recorded in one go is given, encoders that end out of order, fail, hang
// or are stopped, and what each leaves behind.
#include <signal.h>

#include <cerrno>
#include <thread>

#include "conversion_fixture.h"
#include "base/codepage.h"
#include "engines/engines.h"
#include "production/mp3_encoders.h"

namespace varlo::test {
namespace {

// An encoder of the test's own, put in place of lame; it is given lame's
// arguments, the last two being the input ("-" for the standard input) and
// the output.
class Encoders : public ConversionFixture {
 protected:
  void useEncoder(const std::string& body) {
    fs::path fake = root / "lame";
    writeBytes(fake, "#!/bin/sh\nfor a; do in=$out; out=$a; done\nD='" + root.string() + "'\n" + body);
    fs::permissions(fake, fs::perms::owner_all);
    configure("PROG_LAME=" + fake.string() + "\nCODIFICADORESMP3=2\n");
  }

  void writeTexts(const std::vector<std::string>& names) {
    for (const std::string& name : names)
      writeBytes(project / (name + ".txt"), "O texto " + name + " tem duas frases. Esta e a segunda.\n");
  }

  std::vector<std::string> leftovers() const {
    std::vector<std::string> found;
    for (const auto& entry : fs::directory_iterator(audio))
      if (entry.path().extension() == ".parcial") found.push_back(entry.path().filename());
    return found;
  }

  // The process whose id the fake encoder wrote into the file has ended.
  bool ended(const fs::path& pidFile) const {
    pid_t pid = std::stoi(readBytes(pidFile));
    return kill(pid, 0) != 0 && errno == ESRCH;
  }

  void TearDown() override {
    stopEncoders();
    setEncoderGraceSeconds(60);
    ConversionFixture::TearDown();
  }
};

// Frames of an MP3 decoded by lame into `wav`, -1 when it does not decode.
int decodedFrames(const fs::path& mp3, const fs::path& wav) {
  std::string command = "lame --quiet --decode '" + mp3.string() + "' '" + wav.string() + "'";
  return std::system(command.c_str()) == 0 ? wavFrames(wav) : -1;
}

// The length of the longest stretch of near silence.
int longestSilence(const TAmostras& wave) {
  int longest = 0, run = 0;
  for (int i = 0; i < wave.frameCount(); ++i) {
    run = std::abs(frameLeft(wave.sampleAt(i))) < 64 ? run + 1 : 0;
    longest = std::max(longest, run);
  }
  return longest;
}

// The WAV's samples reach the encoder while the voice records them, all of
// them and in order, under a header whose length leaves nothing out; the
// MP3 decodes to the length of the WAV with no silence added.
TEST_F(Encoders, TextRecordedInOneGoIsEncodedAsItGrows) {
  // lame keeps copies of what it was given and what it made, then fails so
  // that the WAV stays to compare with.
  useEncoder("if [ \"$in\" = - ]; then tee \"$D/fed.wav\" | lame \"$@\" || exit 2; "
             "else cp \"$in\" \"$D/fed-from-file.wav\"; fi\n"
             "cp \"$out\" \"$D/made.mp3\"\nexit 1\n");
  std::string text;
  for (int i = 0; i < 12; ++i) text += "Esta e a frase numero " + std::to_string(i) + " do livro.\n\n";
  writeBytes(project / "livro.txt", text);
  for (int type : {kEngineEspeak, kEngineOlira}) {
    appState().sapiType = type;
    fs::remove_all(audio);
    convert({"livro.txt"}, true);
    ASSERT_FALSE(fs::exists(root / "fed-from-file.wav")) << type;
    std::string wav = readBytes(audio / "livro.wav");
    std::string fed = readBytes(root / "fed.wav");
    ASSERT_GT(wav.size(), 100000u) << type;
    EXPECT_TRUE(fed.substr(44) == wav.substr(44)) << type << ": " << fed.size() << " " << wav.size();
    EXPECT_EQ(fed.substr(0, 4), "RIFF");
    TAmostras recorded, decoded;
    ASSERT_TRUE(recorded.load((audio / "livro.wav").string()));
    ASSERT_GT(decodedFrames(root / "made.mp3", root / "decoded.wav"), 0);
    ASSERT_TRUE(decoded.load((root / "decoded.wav").string()));
    EXPECT_NEAR(decoded.frameCount(), recorded.frameCount(), 2205) << type;   // a tenth of a second
    EXPECT_LE(longestSilence(decoded), longestSilence(recorded) + 1102) << type;   // 50 ms
    EXPECT_TRUE(leftovers().empty());
  }
}

// The first text's encoder ends only after the second's: both ran at once.
// Whatever order they end in, their failures are told in the order of the
// texts, the WAVs of the failed ones stay, and no scratch MP3 is left.
TEST_F(Encoders, EncodersEndInAnyOrderAndAreToldInTheOrderOfTheTexts) {
  useEncoder("case \"$out\" in\n"
             "*/a.mp3.parcial) until [ -e \"$D/b.acabou\" ]; do sleep 0.02; done\n"
             "  cat \"$in\" | head -c 1000 > \"$out\"; echo a >> \"$D/ordem\"; exit 1;;\n"
             "*/b.mp3.parcial) cat \"$in\" > /dev/null; echo meio > \"$out\"; echo b >> \"$D/ordem\";"
             " touch \"$D/b.acabou\"; exit 1;;\n"
             "esac\ncat \"$in\" > \"$out\"; echo c >> \"$D/ordem\"\n");
  setEncoderGraceSeconds(20);
  writeTexts({"a", "b", "c"});
  std::string screen = convert({"a.txt", "b.txt", "c.txt"}, true);
  std::string order = readBytes(root / "ordem");
  EXPECT_LT(order.find('b'), order.find('a')) << order;
  size_t toldA = screen.find("mantido: a.wav"), toldB = screen.find("mantido: b.wav");
  ASSERT_NE(toldA, std::string::npos) << screen;
  ASSERT_NE(toldB, std::string::npos) << screen;
  EXPECT_LT(toldA, toldB);
  EXPECT_NE(screen.find(utf8ToCp1252("2 de 3 arquivos não foram convertidos")), std::string::npos)
      << screen;
  EXPECT_GT(wavFrames(audio / "a.wav"), 10000);
  EXPECT_GT(wavFrames(audio / "b.wav"), 10000);
  EXPECT_FALSE(fs::exists(audio / "a.mp3"));
  EXPECT_FALSE(fs::exists(audio / "b.mp3"));
  EXPECT_TRUE(fs::exists(audio / "c.mp3"));
  EXPECT_FALSE(fs::exists(audio / "c.wav"));
  EXPECT_TRUE(leftovers().empty());
}

// A text with markers is encoded once its pieces are joined, while the
// next text renders; its result counts like any other.
TEST_F(Encoders, TextWithMarkersIsEncodedFromItsFinishedWav) {
  useEncoder("[ \"$in\" = - ] && echo do-tubo >> \"$D/entradas\"\n"
             "[ \"$in\" != - ] && echo do-arquivo >> \"$D/entradas\"\ncat \"$in\" > \"$out\"\n");
  writeBytes(project / "a.txt", "Primeiro.\n#SAPI#5,1,0,0\nSegundo.\n");
  writeTexts({"b"});
  std::string screen = convert({"a.txt", "b.txt"}, true);
  std::string inputs = readBytes(root / "entradas");   // in the order the encoders got going
  EXPECT_TRUE(inputs == "do-arquivo\ndo-tubo\n" || inputs == "do-tubo\ndo-arquivo\n") << inputs;
  EXPECT_EQ(readBytes(audio / "a.mp3").substr(0, 4), "RIFF");
  EXPECT_TRUE(fs::exists(audio / "b.mp3"));
  EXPECT_NE(screen.find(utf8ToCp1252("Conversão bem sucedida")), std::string::npos) << screen;
}

// The disk fills up under one encoder (here a file size limit on the real
// lame): that text alone stays WAV, and nothing cut short is left as an MP3.
TEST_F(Encoders, DiskFillingUnderOneEncoderSparesTheOthers) {
  useEncoder("case \"$out\" in */b.mp3.parcial) trap '' XFSZ; ulimit -f 2;; esac\nexec lame \"$@\"\n");
  std::string text;
  for (int i = 0; i < 6; ++i) text += "Uma frase para encher um pouco o arquivo de som.\n";
  for (const char* name : {"a", "b", "c"}) writeBytes(project / (std::string(name) + ".txt"), text);
  std::string screen = convert({"a.txt", "b.txt", "c.txt"}, true);
  EXPECT_NE(screen.find("b.wav"), std::string::npos) << screen;
  EXPECT_GT(wavFrames(audio / "b.wav"), 10000);
  EXPECT_FALSE(fs::exists(audio / "b.mp3"));
  for (const char* name : {"a", "c"}) {
    EXPECT_GT(decodedFrames(audio / (std::string(name) + ".mp3"), root / "decoded.wav"), 10000) << name;
    EXPECT_FALSE(fs::exists(audio / (std::string(name) + ".wav"))) << name;
  }
  EXPECT_TRUE(leftovers().empty());
}

// An encoder that exits 0 is believed only when what it made lasts as long
// as the WAV: a few bytes, or half the audio, leave the WAV and say so.
TEST_F(Encoders, EncoderSuccessWithAShortOrEmptyResultIsAFailure) {
  useEncoder("case \"$out\" in\n"
             "*/a.mp3.parcial) printf 123456789 > \"$out\";;\n"
             "*/b.mp3.parcial) lame --quiet \"$in\" \"$D/b.mp3\"; head -c 3000 \"$D/b.mp3\" > \"$out\";;\n"
             "*) exec lame \"$@\";;\nesac\nexit 0\n");
  writeTexts({"a", "b", "c"});
  std::string screen = convert({"a.txt", "b.txt", "c.txt"}, true);
  for (const char* name : {"a", "b"}) {
    EXPECT_NE(screen.find(std::string("mantido: ") + name + ".wav"), std::string::npos) << screen;
    EXPECT_GT(wavFrames(audio / (std::string(name) + ".wav")), 10000) << name;
    EXPECT_FALSE(fs::exists(audio / (std::string(name) + ".mp3"))) << name;
  }
  EXPECT_GT(decodedFrames(audio / "c.mp3", root / "decoded.wav"), 10000);
  EXPECT_TRUE(leftovers().empty());
}

// An encoder that never ends is stopped; the others are not held up by it.
TEST_F(Encoders, HungEncoderIsStoppedAndItsWavKept) {
  useEncoder("case \"$out\" in */b.mp3.parcial) echo $$ > \"$D/pid\"; echo x > \"$out\"; "
             "exec sleep 60;; esac\ncat \"$in\" > \"$out\"\n");
  setEncoderGraceSeconds(1);
  writeTexts({"a", "b", "c"});
  std::string screen = convert({"a.txt", "b.txt", "c.txt"}, true);
  size_t told = screen.find("passou do tempo");
  ASSERT_NE(told, std::string::npos) << screen;
  EXPECT_NE(screen.find("b.wav", told), std::string::npos) << screen;
  EXPECT_GT(wavFrames(audio / "b.wav"), 10000);
  EXPECT_FALSE(fs::exists(audio / "b.mp3"));
  EXPECT_TRUE(fs::exists(audio / "a.mp3"));
  EXPECT_TRUE(fs::exists(audio / "c.mp3"));
  EXPECT_TRUE(leftovers().empty());
  EXPECT_TRUE(ended(root / "pid"));
}

// Cancelling the run stops the encoders at work: only the MP3s already
// finished remain, the WAVs of the others stay, and no encoder lives on.
TEST_F(Encoders, StoppingWhileTwoEncodersRunKeepsOnlyFinishedMp3s) {
  writeTexts({"a", "b", "c"});
  convert({"a.txt", "b.txt", "c.txt"});
  useEncoder("case \"$out\" in */c.mp3.parcial) cat \"$in\" > \"$out\"; exit 0;; esac\n"
             "n=${out##*/}; echo x > \"$out\"; echo $$ > \"$D/$n.pid\"; exec sleep 60\n");
  ASSERT_EQ(chdir(audio.c_str()), 0);
  auto job = [](const std::string& name) { return Mp3Job{"--abr 80", {}, audioNames(name + ".txt")}; };
  ASSERT_TRUE(startEncoding(job("c")));
  EXPECT_EQ(tellEncoderResults(true), 0);
  ASSERT_TRUE(startEncoding(job("a")));
  ASSERT_TRUE(startEncoding(job("b")));
  // The shell makes a pid file before it writes the number into it.
  auto written = [](const fs::path& file) { return fs::exists(file) && fs::file_size(file) > 0; };
  for (int i = 0; i < 500 && !(written(root / "a.mp3.parcial.pid") &&
                               written(root / "b.mp3.parcial.pid")); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  ASSERT_TRUE(fs::exists(audio / "a.mp3.parcial"));
  stopEncoders();
  EXPECT_TRUE(fs::exists(audio / "c.mp3"));
  EXPECT_FALSE(fs::exists(audio / "c.wav"));
  for (const char* name : {"a", "b"}) {
    EXPECT_GT(wavFrames(audio / (std::string(name) + ".wav")), 10000) << name;
    EXPECT_FALSE(fs::exists(audio / (std::string(name) + ".mp3"))) << name;
    EXPECT_TRUE(ended(root / (std::string(name) + ".mp3.parcial.pid"))) << name;
  }
  EXPECT_TRUE(leftovers().empty());
  EXPECT_EQ(tellEncoderResults(true), 0);   // nothing is left to tell
}

}  // namespace
}  // namespace varlo::test
