// Voice type 4 through a private Speech Dispatcher started by the test: its
// own configuration, socket and runtime directory, and the generic module
// running a command that writes down what it was asked to say (voice, rate,
// pitch, text) and then takes a while, as speaking does.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
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

sockaddr_un socketAddress(const fs::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.c_str());
  return address;
}

bool accepts(const fs::path& path) {
  int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address = socketAddress(path);
  bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
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
           << (dir / "said.txt").string() << "; exec sleep " << seconds << "\"\n"
           << "GenericLanguage \"pt-BR\" \"pt-br\" \"utf-8\"\n"
              "AddVoice \"en\" \"MALE1\" \"john\"\n"
              "AddVoice \"pt-BR\" \"FEMALE1\" \"leticia\"\n"
              "AddVoice \"pt-BR\" \"MALE1\" \"nuno\"\n";
    module.close();
    server = fork();
    if (server == 0) {
      setpgid(0, 0);
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
    // The socket file appears before the server listens on it.
    ASSERT_TRUE(waitFor([&] { return accepts(dir / "sock"); }, 10000))
        << readAll(dir / "log" / "server.txt");
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + (dir / "sock").string()).c_str(), 1);
  }

  // The server waits for a module still speaking before it ends: after a
  // moment it is killed with its modules, as a crash would end it.
  void stop() {
    if (server <= 0) return;
    kill(-server, SIGTERM);
    if (!waitFor([&] { return waitpid(server, nullptr, WNOHANG) == server; }, 1000)) {
      kill(-server, SIGKILL);
      waitpid(server, nullptr, 0);
    }
    server = -1;
    // A module left behind leads a process group of its own; it is known
    // by the configuration path in its arguments.
    for (const auto& entry : fs::directory_iterator("/proc")) {
      pid_t pid = std::atoi(entry.path().filename().c_str());
      if (pid > 0 && readAll(entry.path() / "cmdline").find(dir.string()) != std::string::npos &&
          getpgid(pid) == pid)
        kill(-pid, SIGKILL);
    }
  }

  std::string said() { return readAll(dir / "said.txt"); }

  ~PrivateServer() {
    stop();
    // SPEECHD_ADDRESS stays, naming a socket that is gone.
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
  // The list comes after the open, from the connection's thread.
  ASSERT_TRUE(waitFor([] { return voiceCount() == 3; }, 5000)) << voiceCount();
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

// A server that takes connections and never answers: a listening socket
// nobody accepts on.
struct SilentServer {
  int fd = -1;
  explicit SilentServer(const fs::path& path) {
    fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address = socketAddress(path);
    EXPECT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(fd, 8), 0);
    setenv("SPEECHD_ADDRESS", ("unix_socket:" + path.string()).c_str(), 1);
  }
  ~SilentServer() { ::close(fd); }
};

long long msSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST_F(SpeechdEngine, ServerThatNeverAnswersIsGivenUpAndNotWaitedForAgain) {
  SilentServer silent(root / "mudo.sock");
  auto start = Clock::now();
  EXPECT_FALSE(openEngine(kEngineOldInterface, 1, 0, 0, ""));
  std::printf("given up after %lld ms\n", msSince(start));
  EXPECT_EQ(voiceCount(), 0);
  EXPECT_FALSE(isSpeaking());
  speakText("nada");   // neither blocks nor crashes
  // While the first attempt still waits, a new one fails at once: option V
  // opens the voice at every key.
  start = Clock::now();
  EXPECT_FALSE(openEngine(kEngineOldInterface, 1, 0, 0, ""));
  EXPECT_LT(msSince(start), 1000);
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
