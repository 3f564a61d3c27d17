// Voice type 4 through a private Speech Dispatcher started by the test: its
// own configuration, socket and runtime directory, and the generic module
// running a command that writes down what it was asked to say (voice, rate,
// pitch, text) and then takes a while, as speaking does.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "base/codepage.h"
#include "console/console.h"
#include "engines/engines.h"
#include "platform/audio_sink.h"
#include "sound/wave_player.h"
#include "speech/speech.h"
#include "speech_fixture.h"

namespace varlo::test {
namespace {

using Clock = std::chrono::steady_clock;

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Polls until done() or the time runs out; whether done() held.
template <class Done>
bool waitFor(Done done, int ms) {
  auto until = Clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (Clock::now() > until) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

// A private speech-dispatcher, reached through SPEECHD_ADDRESS.
struct PrivateServer {
  fs::path dir;
  pid_t server = -1;

  // The generic module's command sleeps `seconds` after writing the line.
  void start(int seconds) {
    std::string pattern = (fs::temp_directory_path() / "varlo-speechd-XXXXXX").string();
    dir = fs::path(mkdtemp(pattern.data()));
    fs::create_directories(dir / "conf" / "modules");
    fs::create_directories(dir / "run");
    fs::create_directories(dir / "log");
    std::ofstream conf(dir / "conf" / "speechd.conf");
    conf << "CommunicationMethod \"unix_socket\"\nSocketPath \"" << (dir / "sock").string()
         << "\"\nAddModule \"capture\" \"sd_generic\" \"capture.conf\"\n"
            "DefaultModule \"capture\"\nAudioOutputMethod \"alsa\"\nAudioALSADevice \"null\"\n";
    conf.close();
    std::ofstream module(dir / "conf" / "modules" / "capture.conf");
    module << "GenericExecuteSynth \"printf '%s|%s|%s|%s\\\\n' '$VOICE' '$RATE' '$PITCH' '$DATA' >> "
           << (dir / "said.txt").string() << "; sleep " << seconds << "\"\n"
           << "GenericLanguage \"pt-BR\" \"pt-br\" \"utf-8\"\n"
              "AddVoice \"en\" \"MALE1\" \"john\"\n"
              "AddVoice \"pt-BR\" \"FEMALE1\" \"leticia\"\n"
              "AddVoice \"pt-BR\" \"MALE1\" \"nuno\"\n";
    module.close();
    server = fork();
    if (server == 0) {
      setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
      setenv("HOME", dir.c_str(), 1);
      std::freopen((dir / "log" / "server.txt").c_str(), "w", stderr);
      std::freopen((dir / "log" / "server.txt").c_str(), "a", stdout);
      execlp("speech-dispatcher", "speech-dispatcher", "-s", "-t", "0", "-C",
             (dir / "conf").c_str(), "-c", "unix_socket", "-S", (dir / "sock").c_str(), "-L",
             (dir / "log").c_str(), "-P", (dir / "pid").c_str(), nullptr);
      _exit(127);
    }
    ASSERT_GT(server, 0);
    ASSERT_TRUE(waitFor([&] { return fs::exists(dir / "sock"); }, 10000))
        << readAll(dir / "log" / "server.txt");
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + (dir / "sock").string()).c_str(), 1);
  }

  void stop() {
    if (server <= 0) return;
    kill(server, SIGTERM);
    waitpid(server, nullptr, 0);
    server = -1;
  }

  std::string said() { return readAll(dir / "said.txt"); }

  ~PrivateServer() {
    stop();
    unsetenv("SPEECHD_ADDRESS");
    if (!dir.empty()) fs::remove_all(dir);
  }
};

class SpeechdEngine : public SpeechFixture {
 protected:
  PrivateServer server;
  void startServer(int seconds) { server.start(seconds); }
  void stopServer() { server.stop(); }
  std::string said() { return server.said(); }

  void TearDown() override {
    closeEngine();
    flushKeyQueue();
    SpeechFixture::TearDown();
  }
};

TEST_F(SpeechdEngine, SpeaksInBrazilianVoicesWithTheSettingsAndEndsFromTheServersEvents) {
  startServer(1);
  // Voice 2, speed 3, pitch -2: the second Brazilian voice of the list.
  ASSERT_TRUE(openEngine(kEngineOldInterface, 2, 3, -2, ""));
  ASSERT_EQ(voiceCount(), 3);
  EXPECT_EQ(voiceName(1), "leticia (pt-BR)");
  EXPECT_EQ(voiceName(2), "nuno (pt-BR)");
  EXPECT_EQ(voiceName(3), "john (en)");
  EXPECT_EQ(voiceName(4), "");

  speakText(utf8ToCp1252("Olá, ponto e vírgula."));
  EXPECT_TRUE(isSpeaking());
  ASSERT_TRUE(waitFor([&] { return !said().empty(); }, 5000));
  EXPECT_TRUE(isSpeaking()) << "the module is still at work";
  ASSERT_TRUE(waitFor([] { return !isSpeaking(); }, 5000));
  std::string line = said();
  EXPECT_EQ(line.substr(0, line.find('|', line.find('|') + 1)), "nuno|30.00");
  EXPECT_NE(line.find("|-20.00|"), std::string::npos) << line;
  // The generic module hands the command Latin-1: what arrived decoded as
  // UTF-8 at the server.
  EXPECT_NE(line.find("Ol\xE1, ponto e v\xEDrgula."), std::string::npos) << line;

  // Speeds and pitches above 10 are words per minute and hertz; voice 0 is
  // the first.
  closeEngine();
  ASSERT_TRUE(openEngine(kEngineOldInterface, 0, 270, 60, ""));
  speakText("de novo");
  ASSERT_TRUE(waitFor([&] { return said().find("de novo") != std::string::npos; }, 5000));
  line = said().substr(said().find('\n') + 1);
  EXPECT_EQ(line.substr(0, line.rfind('|') + 1), "leticia|50.00|-50.00|") << line;
}

TEST_F(SpeechdEngine, KeyPressCancelsSpeechAndWhatIsQueued) {
  startServer(20);
  ASSERT_TRUE(openEngine(kEngineOldInterface, 1, 0, 0, ""));
  speakText("primeira frase");
  ASSERT_TRUE(waitFor([&] { return !said().empty(); }, 5000));
  speakText("segunda frase");
  ASSERT_TRUE(isSpeaking());
  pushKey(27);
  auto start = Clock::now();
  EXPECT_TRUE(waitFor([] { return !isSpeaking(); }, 300));
  std::printf("cancelled after %lld ms\n",
              (long long)std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start)
                  .count());
  flushKeyQueue();
  // The server may begin the queued text it had not yet filed when the
  // cancel came; the driver stops it at its next poll, so the voice is free
  // at once for what follows instead of after the queued sentence.
  waitFor([] { return isSpeaking(); }, 500);
  EXPECT_FALSE(waitFor([] { return isSpeaking(); }, 300)) << "[" << said() << "]";
  speakText("terceira frase");
  EXPECT_TRUE(waitFor([&] { return said().find("terceira") != std::string::npos; }, 2000))
      << "[" << said() << "]";
}

TEST_F(SpeechdEngine, ServerThatDiesOrIsAbsentLeavesNoSpeechHanging) {
  startServer(20);
  ASSERT_TRUE(openEngine(kEngineOldInterface, 1, 0, 0, ""));
  speakText("uma frase longa");
  ASSERT_TRUE(waitFor([&] { return !said().empty(); }, 5000));
  ASSERT_TRUE(isSpeaking());
  stopServer();
  EXPECT_TRUE(waitFor([] { return !isSpeaking(); }, 2000));
  speakText("depois");   // must neither block nor crash
  EXPECT_FALSE(isSpeaking());
  closeEngine();
  // Nothing listens on the socket any more, and a private path is never
  // autospawned: the open fails and the caller falls back.
  EXPECT_FALSE(openEngine(kEngineOldInterface, 1, 0, 0, ""));
  EXPECT_EQ(voiceCount(), 0);
}

// The front end: a server that goes away mid-session gives way to the
// configured voice, which says so and speaks what follows.
class SpeechdFrontEnd : public SpeechFixture {
 protected:
  PrivateServer server;
  fs::path capture;

  void SetUp() override {
    SpeechFixture::SetUp();
    capture = root / "captura.raw";
    setenv("VARLO_AUDIO", ("capture:" + capture.string()).c_str(), 1);
    resetAudioSink();
  }

  void TearDown() override {
    SpeechFixture::TearDown();
    closeWavePlayer();
    setenv("VARLO_AUDIO", "null", 1);
    resetAudioSink();
  }

  uintmax_t captured() { return fs::exists(capture) ? fs::file_size(capture) : 0; }
};

TEST_F(SpeechdFrontEnd, LostServerGivesWayToTheConfiguredVoice) {
  configure("SAPI=SIM\n[SERVFALA]\nTIPOSAPI=5\nVOZ=1\nVELOCIDADE=0\nTOM=0\n");
  server.start(20);
  reconfigureSpeech(0, true, kEngineOldInterface, 1, 0, 0);
  ASSERT_TRUE(engineActive());
  speak("primeira");
  ASSERT_TRUE(waitFor([&] { return server.said().find("primeira") != std::string::npos; }, 5000));
  server.stop();
  uintmax_t before = captured();
  speak("segunda");
  EXPECT_EQ(currentEngineType(), kEngineEspeak);
  EXPECT_TRUE(engineActive());
  EXPECT_TRUE(waitFor([&] { return captured() > before + 22050; }, 5000))
      << "the configured voice is heard";
  EXPECT_EQ(server.said().find("segunda"), std::string::npos);
}

}  // namespace
}  // namespace varlo::test
