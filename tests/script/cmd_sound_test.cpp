// BIPA, TOCA, MCI and MIDI heard through the capture sink.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>

#include "platform/audio_capture_reader.h"
#include "platform/audio_sink.h"
#include "script/script_fixture.h"
#include "sound/wav_files.h"
#include "sound/wave_player.h"

namespace varlo::test {
namespace {

using Kind = CaptureRecord::Kind;

Bytes sineSamples(int rate, int ms, double hz) {
  std::vector<int16_t> values(size_t(rate) * size_t(ms) / 1000);
  for (size_t i = 0; i < values.size(); ++i)
    values[i] = int16_t(8000 * std::sin(2 * std::numbers::pi * hz * double(i) / rate));
  return samples16(values);
}

// The strongest frequency between low and high (1 Hz steps) of the left
// channel of 16-bit samples.
double strongestFrequency(const Bytes& bytes, int rate, int channels, double low, double high) {
  std::vector<double> x;
  for (size_t i = 0; i + 1 < bytes.size(); i += size_t(2 * channels))
    x.push_back(int16_t(bytes[i] | bytes[i + 1] << 8));
  double best = 0;
  double bestPower = -1;
  for (double f = low; f <= high; f += 1) {
    double re = 0, im = 0;
    for (size_t n = 0; n < x.size(); ++n) {
      double phase = 2 * std::numbers::pi * f * double(n) / rate;
      re += x[n] * std::cos(phase);
      im += x[n] * std::sin(phase);
    }
    if (re * re + im * im > bestPower) {
      bestPower = re * re + im * im;
      best = f;
    }
  }
  return best;
}

// A key arrives once the stream has started and a number of pumps later,
// while a command waits for the sound.
int pumpsBeforeKey = -1;
void keyWhilePlaying() {
  if (pumpsBeforeKey < 0 || streamBytesQueued() == 0) return;
  if (pumpsBeforeKey-- == 0) injectKeys("x");
}

class SoundCommands : public ScriptTest {
 protected:
  void SetUp() override {
    ScriptTest::SetUp();
    dir = freshDirectory(::testing::UnitTest::GetInstance()->current_test_info()->name());
    capture = dir + "/capture.txt";
    closeWavePlayer();
    setenv("VARLO_AUDIO", ("capture:" + capture).c_str(), 1);
    resetAudioSink();
    flushKeyQueue();
    setPumpHook(PumpHook::speech, keyWhilePlaying);
  }
  void TearDown() override {
    setPumpHook(PumpHook::speech, nullptr);
    pumpsBeforeKey = -1;
    resetInterpreter();
    closeWavePlayer();
    flushKeyQueue();
    setenv("VARLO_AUDIO", "null", 1);
    resetAudioSink();
    std::filesystem::remove_all(dir);
    ScriptTest::TearDown();
  }

  std::string wav(const std::string& name, int ms) {
    writeFile(dir + "/" + name, wavBytes(22050, 16, 1, sineSamples(22050, ms, 440)));
    return dir + "/" + name;
  }
  std::string mp3(const std::string& name, int ms) {
    std::string source = wav(name + ".wav", ms);
    std::string target = dir + "/" + name;
    std::string command = "lame --quiet -b 64 '" + source + "' '" + target + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << "lame failed";
    return target;
  }
  std::string quotedPath(const std::string& path) { return "\"" + path + "\""; }

  std::vector<CaptureRecord> records() {
    closeWavePlayer();
    return readCapture(capture);
  }
  // Plays (after the last OPEN) at a rate.
  Bytes heardAt(int rate) {
    auto rs = records();
    std::vector<CaptureRecord> kept;
    for (auto& r : rs)
      if (r.kind != Kind::play || r.format.rate == rate) kept.push_back(r);
    return heardBytes(kept);
  }
  bool stopped() {
    for (auto& r : records())
      if (r.kind == Kind::stop && r.unplayed > 0) return true;
    return false;
  }

  std::string dir;
  std::string capture;
};

TEST_F(SoundCommands, TocaPlaysAWavFileWholeWhenNoKeyComes) {
  std::string file = wav("curto.wav", 300);
  EXPECT_EQ(output("TOCA " + quotedPath(file) + "\nCHECA s\nSAIDA(s)\n"), "0\n");
  Bytes expected = sineSamples(22050, 300, 440);
  EXPECT_EQ(heardAt(22050), expected);
  // The alias TOCA used is gone.
  EXPECT_EQ(output("MCI \"status myfile mode\" r\nCHECA s\nSAIDA(s)\n"), "263\n");
}

TEST_F(SoundCommands, TocaReturnsAtAKeyBeforeTheEnd) {
  for (bool isMp3 : {false, true}) {
    SCOPED_TRACE(isMp3 ? "mp3" : "wav");
    std::string file = isMp3 ? mp3("longo.mp3", 3000) : wav("longo.wav", 3000);
    pumpsBeforeKey = 30;
    EXPECT_EQ(output("TOCA " + quotedPath(file) + "\nSAIDA(\"fim\")\n"), "fim\n");
    EXPECT_FALSE(keyPending());   // the key that ended it was taken
    int rate = isMp3 ? 22050 : 22050;
    Bytes heard = heardAt(rate);
    EXPECT_GT(heard.size(), 4410u);                  // some sound was heard...
    EXPECT_LT(heard.size(), size_t(22050 * 2 * 3));  // ...not all of it
    EXPECT_TRUE(stopped());
    EXPECT_NEAR(strongestFrequency(heard, rate, 1, 300, 600), 440, 440 * 0.02);
    std::filesystem::remove(capture);
  }
}

TEST_F(SoundCommands, MciReportsModeLengthAndPosition) {
  std::string file = wav("tom.wav", 2000);
  std::string script =
      "MCI 'open " + quotedPath(file) + " alias tom' r\n"
      "MCI \"set tom time format milliseconds\" r\nCHECA s\nSAIDA(s)\n"
      "MCI \"status tom time format\" r\nSAIDA(r)\n"
      "MCI \"status tom length\" r\nSAIDA(r)\n"
      "MCI \"status tom mode\" r\nSAIDA(r)\n"
      "MCI \"play tom\"\nMCI \"status tom mode\" r\nSAIDA(r)\n"
      "MCI \"pause tom\"\nMCI \"status tom mode\" r\nSAIDA(r)\n"
      "MCI \"resume tom\"\nMCI \"status tom mode\" r\nSAIDA(r)\n"
      "MCI \"stop tom\"\nMCI \"status tom mode\" r\nSAIDA(r)\n"
      "MCI \"seek tom to 1500\"\nMCI \"status tom position\" r\nSAIDA(r)\n"
      "MCI \"seek tom to end\"\nMCI \"status tom position\" r\nSAIDA(r)\n"
      "MCI \"close tom\" r\nCHECA s\nSAIDA(s)\n"
      "MCI \"status tom mode\" r\nCHECA s\nSAIDA(s)\n";
  EXPECT_EQ(output(script), "0\nmilliseconds\n2000\nstopped\nplaying\npaused\nplaying\nstopped\n1500\n2000\n0\n263\n");
}

TEST_F(SoundCommands, MciPlaysFromToAndWaits) {
  std::string file = wav("tom.wav", 1000);
  std::string script = "MCI 'open " + quotedPath(file) + " type waveaudio alias t'\n"
                       "MCI \"play t from 200 to 500 wait\"\n"
                       "MCI \"status t mode\" r\nSAIDA(r)\n"
                       "MCI \"status t position\" r\nSAIDA(r)\n";
  EXPECT_EQ(output(script), "stopped\n500\n");
  Bytes whole = sineSamples(22050, 1000, 440);
  size_t from = 22050 * 200 / 1000 * 2;
  size_t to = 22050 * 500 / 1000 * 2;
  EXPECT_EQ(heardAt(22050), Bytes(whole.begin() + long(from), whole.begin() + long(to)));
}

TEST_F(SoundCommands, NothingToPlayIsNoError) {
  writeFile(dir + "/vazio.wav", wavBytes(22050, 16, 1, {}));
  std::string file = wav("tom.wav", 500);
  std::string script = "TOCA " + quotedPath(dir + "/vazio.wav") + "\nCHECA s\nSAIDA(s)\n"
                       "MCI 'open " + quotedPath(file) + " alias t'\n"
                       "MCI \"play t from 300 to 300\" r\nCHECA s\nSAIDA(s)\n"
                       "MCI \"status t mode\" r\nSAIDA(r)\n";
  EXPECT_EQ(output(script), "0\n0\nstopped\n");
  EXPECT_TRUE(heardAt(22050).empty());
}

TEST_F(SoundCommands, PausedSoundResumesWhereItStopped) {
  std::string file = wav("tom.wav", 1000);
  pumpsBeforeKey = 100;
  std::string script = "MCI 'open " + quotedPath(file) + " alias t'\n"
                       "MCI \"play t wait\"\n"   // a key ends the wait part way
                       "MCI \"status t position\" r\nSAIDA(r)\n";
  captured().clear();
  run(script);
  int position = std::atoi(captured().c_str());
  EXPECT_TRUE(keyPending());   // left for the script to read
  flushKeyQueue();
  run("MCI \"play t wait\"\n");
  EXPECT_GT(position, 0);
  EXPECT_LT(position, 1000);
  // The second play goes on from there to the end: nothing is lost, and at
  // most the one buffer the stop cut into is heard twice.
  Bytes heard = heardAt(22050);
  EXPECT_GE(heard.size(), size_t(22050 * 2)) << "position " << position;
  EXPECT_LE(heard.size(), size_t(22050 * 2) + kWaveBufferBytes) << "position " << position;
}

TEST_F(SoundCommands, BadSoundFilesAndCommandsGiveMciErrors) {
  writeFile(dir + "/texto.txt", Bytes{'o', 'l', 'a', '\n'});
  Bytes corrupt = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 10};
  for (int i = 0; i < 20000; ++i) corrupt.push_back(uint8_t(i * 7919 % 251));
  writeFile(dir + "/estragado.mp3", corrupt);
  Bytes truncated = readFile(mp3("inteiro.mp3", 500));
  truncated.resize(300);
  writeFile(dir + "/truncado.mp3", truncated);
  std::string longName(10000, 'a');
  std::string manyWords;
  for (int i = 0; i < 2000; ++i) manyWords += "play ";
  struct Case { std::string command; std::string code; };
  std::vector<Case> cases = {
      {"open " + quotedPath(dir + "/texto.txt") + " alias x", "296"},
      {"open " + quotedPath(dir + "/estragado.mp3") + " alias x", "296"},
      {"open " + quotedPath(dir + "/truncado.mp3") + " alias x", "296"},
      {"open " + quotedPath(dir + "/nada.wav") + " alias x", "275"},
      {"open " + quotedPath(dir) + " alias x", "296"},
      {"open " + quotedPath(dir + "/inteiro.mp3") + " type cdaudio alias x", "266"},
      {"open \"" + longName + "\" alias x", "275"},
      {"play \"" + longName, "294"},
      {manyWords, "275"},   // "play" of a name no device has: a file of that name
      {"status " + longName + " mode", "263"},
      {"tocar x", "259"},
      {"", "259"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command.substr(0, 60));
    std::string out = output("MCI '" + c.command + "' r\nCHECA s\nSAIDA(s)\nSAIDA(r)\n");
    EXPECT_EQ(out.substr(0, 4), c.code + "\n");
    EXPECT_EQ(out.substr(4, 13), "Erro MCI " + c.code + ":");
    EXPECT_LT(out.size(), 300u);   // a runaway name is not read out whole
  }
  // Errors after a good open: a second alias, a time beyond the end, a word
  // that is no parameter.
  std::string good = "MCI 'open " + quotedPath(mp3("bom.mp3", 500)) + " alias b'\n";
  EXPECT_EQ(output(good + "MCI 'open " + quotedPath(dir + "/bom.mp3") +
                   " alias B' r\nCHECA s\nSAIDA(s)\n"
                   "MCI \"play b from 90000\" r\nCHECA s\nSAIDA(s)\n"
                   "MCI \"seek b to muito\" r\nCHECA s\nSAIDA(s)\n"
                   "MCI \"status b volume\" r\nCHECA s\nSAIDA(s)\n"
                   "MCI \"play b alias c\" r\nCHECA s\nSAIDA(s)\n"
                   "MCI \"seek b to 10 from 3\" r\nCHECA s\nSAIDA(s)\n"
                   "MCI \"set b time format frames\" r\nCHECA s\nSAIDA(s)\n"
                   "MCI \"status b length\" r\nSAIDA(r)\n"),
            "289\n282\n270\n257\n257\n257\n257\n500\n");
  EXPECT_NE(output("MCI\n").find("Esperava uma cadeia com o comando MCI"), std::string::npos);
  EXPECT_NE(output("TOCA\n").find("Esperava uma cadeia"), std::string::npos);
  // TOCA of what cannot be played says so and the script goes on.
  EXPECT_EQ(output("TOCA " + quotedPath(dir + "/texto.txt") + "\nCHECA s\nSAIDA(s)\n"),
            "Erro MCI 296: o arquivo não pode ser tocado: não é WAV nem MP3, ou está corrompido: " +
                dir + "/texto.txt\n296\n");
}

TEST_F(SoundCommands, PlayOfAFileNameOpensAndClosesByItself) {
  std::string file = wav("tom.wav", 200);
  std::string script = "TOCA " + quotedPath(file) + " &\nCHECA s\nSAIDA(s)\n"
                       "MCI \"status " + file + " mode\" r\nSAIDA(r)\n";
  EXPECT_EQ(output(script), "0\nplaying\n");
  while (streamBytesQueued() > 0 || isPlaying()) pause(20);
  pause(50);
  EXPECT_EQ(output("MCI \"status " + file + " mode\" r\nCHECA s\nSAIDA(s)\n"), "263\n");
  EXPECT_EQ(heardAt(22050), sineSamples(22050, 200, 440));
}

TEST_F(SoundCommands, BipaPlaysTheBeepOrTheClick) {
  for (auto [operand, bytes] : {std::pair{"", 512u}, {"1", 256u}, {"\"1\"", 256u}, {"2", 512u}}) {
    SCOPED_TRACE(operand);
    std::filesystem::remove(capture);
    output(std::string("BIPA ") + operand + "\n");
    auto rs = records();
    ASSERT_FALSE(rs.empty());
    Bytes heard = heardBytes(rs);
    EXPECT_EQ(heard.size(), bytes);
  }
}

TEST_F(SoundCommands, MidiA4SoundsAt440Hz) {
  EXPECT_EQ(output("MIDI ABRE 0\nCHECA s\nSAIDA(s)\nMIDI TOCA 4 9 600\nMIDI FECHA\n"), "0\n");
  Bytes heard = heardAt(44100);
  ASSERT_GT(heard.size(), size_t(44100 * 4 / 2));
  // Skip the attack; measure a quarter of a second of the held note.
  Bytes held(heard.begin() + 44100 * 4 / 10, heard.begin() + 44100 * 4 * 35 / 100);
  EXPECT_NEAR(strongestFrequency(held, 44100, 2, 300, 600), 440, 440 * 0.02);
}

TEST_F(SoundCommands, MidiNotesFollowOneAnotherWithoutAGap) {
  output("MIDI ABRE 0\nMIDI INSTRUMENTO 73\nMIDI TOCA 4 9 300\nMIDI TOCA 5 4 300\nMIDI FECHA\n");
  Bytes heard = heardAt(44100);
  auto slice = [&](int fromMs, int toMs) {
    return Bytes(heard.begin() + 44100 * 4 * fromMs / 1000, heard.begin() + 44100 * 4 * toMs / 1000);
  };
  ASSERT_GT(heard.size(), size_t(44100 * 4 * 6 / 10));
  // The second note (E5) starts where the first (A4) ends, not a queue later.
  EXPECT_NEAR(strongestFrequency(slice(100, 280), 44100, 2, 300, 800), 440, 440 * 0.02);
  EXPECT_NEAR(strongestFrequency(slice(400, 580), 44100, 2, 300, 800), 659.3, 659.3 * 0.02);
}

TEST_F(SoundCommands, MidiOperandsAndDevice) {
  struct Case { const char* line; const char* message; };
  for (const Case& c : {
           Case{"MIDI CANAL 17", "O canal deve estar entre 1 e 16"},
           Case{"MIDI CANAL 0", "O canal deve estar entre 1 e 16"},
           Case{"MIDI CANAL", "Esperava o número do canal"},
           Case{"MIDI INSTRUMENTO 256", "O instrumento deve estar entre 0 e 255"},
           Case{"MIDI INICIA 8 1", "A escala deve estar entre -1 e 7"},
           Case{"MIDI TOCA 4", "Esperava o número da nota"},
           Case{"MIDI TOCA 4 9", "Esperava a duração em milissegundos"},
           Case{"MIDI ABRE \"x\"", "Esperava o número do dispositivo"},
           Case{"MIDI VOLUME", "Esperava o volume"},
           Case{"MIDI SOA 1", "Modificador SOA inválido para o comando MIDI"},
       }) {
    SCOPED_TRACE(c.line);
    EXPECT_NE(output(std::string(c.line) + "\nSAIDA(\"depois\")\n").find(c.message),
              std::string::npos);
  }
  // Before ABRE, and on a device that does not exist, notes are not played
  // and the I/O status says so.
  EXPECT_EQ(output("MIDI TOCA 4 9 100\nCHECA s\nSAIDA(s)\n"
                   "MIDI ABRE 3\nCHECA s\nSAIDA(s)\nMIDI INICIA 4 9\nCHECA s\nSAIDA(s)\n"
                   "MIDI ABRE 0\nMIDI TOCA 7 40 10\nCHECA s\nSAIDA(s)\nMIDI FECHA\n"),
            "1\n1\n1\n1\n");
  EXPECT_TRUE(heardAt(44100).empty());
}

}  // namespace
}  // namespace varlo::test
