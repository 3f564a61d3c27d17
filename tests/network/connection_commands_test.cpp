// Connections, serial ports and the parallel port as scripts see them: the
// peer is played by the test on the loopback or on a pseudo-terminal, with a
// short network time-out, so that silent peers, endless lines, binary data
// and misused descriptors can be checked without waiting.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <pty.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "base/config.h"
#include "script/cmd_descriptors.h"
#include "script/script_fixture.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

// A listening socket on 127.0.0.1 with a port chosen by the system.
int listenLoopback(int& port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0) return -1;
  socklen_t len = sizeof a;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  port = ntohs(a.sin_port);
  return fd;
}

// Everything the peer receives until the script side closes.
std::string readUntilClosed(int fd) {
  std::string all;
  char buffer[256];
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) all.append(buffer, size_t(n));
  return all;
}

class ConnectionCommandsTest : public test::ScriptTest {
 protected:
  fs::path dir;
  int listener = -1;
  int port = 0;

  void SetUp() override {
    test::ScriptTest::SetUp();
    dir = fs::temp_directory_path() / ("varlo-net-" + std::to_string(getpid()));
    fs::create_directories(dir / "murena");
    std::ofstream(dir / "murena" / "Murena.ini") << "[MURENA]\nTIMEOUT_REDE=300\n";
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    reloadSettings();
    listener = listenLoopback(port);
    ASSERT_GE(listener, 0);
  }

  void TearDown() override {
    resetInterpreter();
    if (listener >= 0) ::close(listener);
    test::ScriptTest::TearDown();
    unsetenv("XDG_CONFIG_HOME");
    reloadSettings();
    fs::remove_all(dir);
  }

  // Connects descriptor n to the test's listener and returns the test's end.
  int connectPeer(int n) {
    EXPECT_EQ(interactive("CONECTA #" + std::to_string(n) + " \"127.0.0.1\" " + std::to_string(port)), "");
    return ::accept(listener, nullptr, nullptr);
  }

  std::string runLines(std::initializer_list<std::string> lines) {
    std::string out;
    for (const std::string& line : lines) out += interactive(line);
    return out;
  }
};

TEST_F(ConnectionCommandsTest, SilentPeerTimesOutAndDataWaitingIsSeen) {
  int peer = connectPeer(2);
  ASSERT_GE(peer, 0);
  std::string out = runLines({"OBSERVA #2 A", "SAIDA(A)", "LE #2 X", "CHECA S", "SAIDA(S)"});
  EXPECT_NE(out.find("0\n"), std::string::npos);
  EXPECT_NE(out.find("Erro de leitura; a variável \"X\" não foi alterada"), std::string::npos) << out;
  EXPECT_EQ(out.substr(out.size() - 2), "1\n");
  ASSERT_EQ(::write(peer, "a\0b\r\nc\rd\n", 9), 9);
  EXPECT_EQ(runLines({"OBSERVA #2 A", "SAIDA(A)", "LE #2 X", "LE #2 Y", "CHECA S",
                      "SAIDA([TAMANHO(X), ORD(X[2]), Y = \"c\rd\", S])"}),
            "1\n[3, 0, 1, 0]\n");
  EXPECT_EQ(interactive("ESCREVE #2 \"olá\", 7"), "");
  resetInterpreter();   // closes the connection
  EXPECT_EQ(readUntilClosed(peer), "ol\xe1 7\r\n");
  ::close(peer);
}

// A long network wait gives way at once to Ctrl+F12, which stays queued so
// that the interpreter stops the script.
TEST_F(ConnectionCommandsTest, StopKeyEndsALongWait) {
  std::ofstream(dir / "murena" / "Murena.ini") << "[MURENA]\nTIMEOUT_REDE=600000\n";
  reloadSettings();
  int peer = connectPeer(2);
  ASSERT_GE(peer, 0);
  ASSERT_TRUE(queueKey(key::CtrlF12, true));
  EXPECT_EQ(interactive("LE #2 X"), "Erro de leitura; a variável \"X\" não foi alterada\n");
  EXPECT_TRUE(takeQueuedExtendedKey(key::CtrlF12));
  ::close(peer);
}

TEST_F(ConnectionCommandsTest, LineWithoutLineFeedComesInBoundedPieces) {
  int peer = connectPeer(3);
  ASSERT_GE(peer, 0);
  constexpr size_t kTotal = 10 << 20;
  std::thread sender([peer] {
    std::string block(1 << 16, 'x');
    for (size_t sent = 0; sent < kTotal; sent += block.size()) {
      if (::send(peer, block.data(), block.size(), MSG_NOSIGNAL) <= 0) break;
    }
    ::close(peer);
  });
  std::string out = output("T := 0\nM := 0\nENQUANTO T < " + std::to_string(kTotal) + "\n  LE #3 X\n"
                           "  SOMA T TAMANHO(X)\n  SE TAMANHO(X) > M ENTAO M := TAMANHO(X)\nFIM ENQUANTO\n"
                           "SAIDA([T, M])\n");
  sender.join();
  EXPECT_EQ(out, "[" + std::to_string(kTotal) + ", " + std::to_string(kLongestReceivedLine) + "]\n");
}

TEST_F(ConnectionCommandsTest, UnreachablePeersStopTheScriptOrOnlySetTheStatusWhenMuted) {
  int closedPort = port;
  ::close(listener);
  listener = -1;
  std::string target = " \"127.0.0.1\" " + std::to_string(closedPort);
  EXPECT_EQ(interactive("CONECTA #1" + target),
            "Erro ao tentar conexão TCP\nconexão recusada\n");
  EXPECT_EQ(interactive("CONECTA #1 \"nao.existe.invalid\" 80"),
            "Erro ao tentar conexão TCP\nservidor não encontrado\n");
  EXPECT_EQ(output("CONECTA MUDO #1" + target + "\nCHECA S\nSAIDA(S)\n"
                   "CONECTA SSL MUDO #1" + target + "\nCHECA S\nSAIDA(S)\nESCREVE #1 \"x\"\n"),
            "1\n1\nErro no script TESTE.SCR, linha 7:\nErro no processamento do arquivo #1\n");
}

TEST_F(ConnectionCommandsTest, SecureHandshakeWithASilentPeerGivesUp) {
  std::string out = interactive("CONECTA SSL #1 \"127.0.0.1\" " + std::to_string(port));
  EXPECT_EQ(out.rfind("Erro ao tentar conexão TCP\nfalha na negociação segura", 0), 0u) << out;
  EXPECT_EQ(runLines({"CHECA S", "SAIDA(S)"}), "1\n");
}

TEST_F(ConnectionCommandsTest, MisusedDescriptorsAndOperandsAreReported) {
  fs::path file = dir / "a.txt";
  std::ofstream(file) << "linha\n";
  EXPECT_EQ(interactive("ABRE #1 \"" + file.string() + "\""), "");
  EXPECT_EQ(interactive("CONECTA #16 \"127.0.0.1\" 80"), "Descritor de arquivo inválido\n");
  EXPECT_EQ(interactive("CONECTA #1 \"127.0.0.1\" " + std::to_string(port)), "O descritor #1 já está aberto\n");
  EXPECT_EQ(interactive("CONECTA #2 \"\" 80"), "Esperava cadeia com endereço do servidor\n");
  EXPECT_EQ(interactive("CONECTA #2 \"127.0.0.1\" \"http\""), "Esperava número da porta\n");
  EXPECT_EQ(interactive("ACEITA #1 #3"),
            "Erro ao aceitar conexão\no descritor #1 não escuta uma porta (veja SERVE)\n");
  EXPECT_EQ(runLines({"ACEITA MUDO #4 #3", "CHECA S", "SAIDA(S)"}), "1\n");
  EXPECT_EQ(runLines({"V := \"antes\"", "IP REMOTO #1 V", "CHECA S", "SAIDA([V, S])"}), "[antes, 1]\n");
  EXPECT_EQ(interactive("IP #1 V"), "Esperava LOCAL ou REMOTO\n");
  EXPECT_EQ(interactive("OBSERVA #5 V"), "Não há arquivo aberto associado ao descritor #5\n");
  EXPECT_EQ(interactive("OBSERVA V"), "Esperava TECLADO ou um descritor\n");
  EXPECT_EQ(runLines({"OBSERVA #1 A", "LE #1 X", "OBSERVA #1 B", "SAIDA([A, B])"}), "[1, 0]\n");
  EXPECT_EQ(runLines({"INTERNET INICIA", "INTERNET TERMINA"}), "");
  EXPECT_EQ(interactive("INTERNET LIGA"), "Esperava INICIA ou TERMINA\n");
}

TEST_F(ConnectionCommandsTest, ServedPortAcceptsAndAddressesReadBack) {
  ::close(listener);   // the script listens on the port instead
  listener = -1;
  std::string p = std::to_string(port);
  EXPECT_EQ(interactive("SERVE #1 " + p), "");
  EXPECT_EQ(runLines({"OBSERVA #1 A", "SAIDA(A)"}), "0\n");
  EXPECT_EQ(interactive("ACEITA #1 #2"), "Erro ao aceitar conexão\nnenhum pedido de conexão chegou\n");
  EXPECT_EQ(runLines({"SERVE MUDO #3 " + p, "CHECA S", "SAIDA(S)"}), "1\n");
  EXPECT_EQ(interactive("SERVE #3 " + p), "Erro ao servir a porta " + p + "\nporta já em uso\n");
  // The client side is a second descriptor of the same script.
  EXPECT_EQ(interactive("CONECTA #4 \"::1\" " + p), "");
  EXPECT_EQ(runLines({"OBSERVA #1 A", "ACEITA #1 #2", "ESCREVE #4 \"pergunta\"", "LE #2 X",
                      "ESCREVE #2 \"resposta\"", "LE #4 Y", "IP LOCAL #4 L", "IP REMOTO #2 R",
                      "SAIDA([A, X, Y, L, R])"}),
            "[1, pergunta, resposta, ::1, ::1]\n");
  EXPECT_EQ(runLines({"ESCREVE #1 \"x\"", "CHECA S", "SAIDA(S)"}), "1\n");
}

TEST_F(ConnectionCommandsTest, KeyboardIsObserved) {
  while (keyPending()) readKey();
  queueKey('x', false);
  EXPECT_EQ(output("OBSERVA TECLADO A\nLE MUDO B &\nOBSERVA TECLADO C\nSAIDA([A, B, C])\n"), "[1, x, 0]\n");
}

TEST_F(ConnectionCommandsTest, SerialPortCarriesLinesBothWays) {
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  termios raw{};
  ::tcgetattr(slave, &raw);
  ::cfmakeraw(&raw);
  ::tcsetattr(slave, TCSANOW, &raw);
  ASSERT_EQ(::write(master, "OK\r\n", 4), 4);
  std::string device = name;
  EXPECT_EQ(output("SERIAL #5 \"" + device + "\" 9600 8 1 0\nCHECA S\nESCREVE #5 \"AT\"\nLE #5 R\n"
                   "OBSERVA #5 O\nSAIDA([S, R, O])\n"),
            "[0, OK, 0]\n");
  // The bytes were written one at a time: they may come out in pieces.
  std::string got;
  char piece[8];
  pollfd p{master, POLLIN, 0};
  while (got.size() < 4 && ::poll(&p, 1, 2000) > 0) {
    ssize_t n = ::read(master, piece, sizeof piece);
    if (n <= 0) break;
    got.append(piece, size_t(n));
  }
  EXPECT_EQ(got, "AT\r\n");
  std::string opening = "SERIAL #6 \"" + device + "\" ";
  EXPECT_EQ(runLines({opening + "12345 8 1 0", "CHECA S", "SAIDA(S)", opening + "9600 8 3 0", "CHECA S",
                      "SAIDA(S)", "SERIAL #6 \"/dev/nao-existe\" 9600 8 1 0", "CHECA S", "SAIDA(S)"}),
            "1\n1\n1\n");
  EXPECT_EQ(interactive(opening + "9600 8"),
            "Esperava quatro inteiros: velocidade, número de bits, número de bits de parada e paridade\n");
  EXPECT_EQ(interactive("SERIAL #6 0 9600 8 1 0"), "Esperava número da porta serial\n");
  EXPECT_EQ(interactive("SERIAL #5 \"" + device + "\" 9600 8 1 0"), "O descritor #5 já está aberto\n");
  ::close(slave);
  ::close(master);
}

TEST_F(ConnectionCommandsTest, ParallelPortSaysWhenItIsMissing) {
  EXPECT_EQ(interactive("SENSOR LE 1 V"),
            "Esperava o endereço da porta paralela (888, 889 ou 890 para a primeira)\n");
  EXPECT_EQ(interactive("SENSOR MUDA 888 V"), "Esperava LE ou ESCREVE\n");
  if (fs::exists("/dev/parport1")) GTEST_SKIP() << "this machine has a second parallel port";
  EXPECT_EQ(interactive("SENSOR ESCREVE 632 255"), "Porta paralela \"/dev/parport1\" não disponível\nnão existe\n");
  EXPECT_EQ(runLines({"CHECA S", "SAIDA(S)"}), "1\n");
}

}  // namespace
}  // namespace varlo
