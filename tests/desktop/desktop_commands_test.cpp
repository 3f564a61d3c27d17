// The desktop commands away from a desktop: key names, title matching, the
// operand complaints, and what scripts get when there is no display, only
// Wayland, a display or accessibility bus that never answers.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "platform/desktop.h"
#include "script/desktop_windows.h"
#include "script/script_fixture.h"

namespace varlo {
namespace {

TEST(KeyNames, ScriptNamesBecomeKeysyms) {
  struct Case {
    const char* name;
    const char* sequence;
  } cases[] = {
      {"ENTER", "Return"},        {"return", "Return"},      {"Esc", "Escape"},
      {"ESCAPE", "Escape"},       {"BACKSPACE", "BackSpace"}, {"INS", "Insert"},
      {"DEL", "Delete"},          {"DELETE", "Delete"},      {"PAGEUP", "Prior"},
      {"PRIOR", "Prior"},         {"PAGEDN", "Next"},        {"NEXT", "Next"},
      {"SNAPSHOT", "Print"},      {"F1", "F1"},              {"f12", "F12"},
      {"a", "a"},                 {"A", "A"},                {" ", "space"},
      {"+", "plus"},              {"\xE7", "ccedilla"},      {"CTRL+C", "ctrl+c"},
      {"ctrl+shift+F5", "ctrl+shift+F5"}, {"ALT+TAB", "alt+Tab"}, {"CTRL++", "ctrl+plus"},
      {"SHIFT+\xC7", "shift+Ccedilla"},
  };
  for (const Case& c : cases) EXPECT_EQ(keySequenceFor(c.name), c.sequence) << c.name;
}

TEST(KeyNames, UnknownOrMissingKeysGiveNothing) {
  for (const char* name : {"", "F0", "F13", "F01", "ENTRAR", "CTRL+", "CTRL+FOO", "AB", "\x01", "\x7F"})
    EXPECT_EQ(keySequenceFor(name), "") << name;
  EXPECT_EQ(keySequenceFor(std::string(10000, 'X')), "");
}

TEST(WindowTitles, ContainsBeginsOrEndsInUpperCase) {
  std::string notes = cp("Bloco de notas - Configurações");
  EXPECT_TRUE(titleMatches(notes, "NOTAS"));
  EXPECT_TRUE(titleMatches(notes, cp("configuraçÕes")));
  EXPECT_TRUE(titleMatches(notes, "*bloco"));
  EXPECT_FALSE(titleMatches(notes, "*notas"));
  EXPECT_TRUE(titleMatches(notes, cp("ções*")));
  EXPECT_FALSE(titleMatches(notes, "Bloco*"));
  EXPECT_TRUE(titleMatches(notes, cp("*bloco de notas - configurações*")));
  EXPECT_FALSE(titleMatches(notes, "*bloco*"));
  EXPECT_TRUE(titleMatches(notes, "*"));
  EXPECT_FALSE(titleMatches(notes, "Calculadora"));
  std::string huge(10000, 'x');
  EXPECT_FALSE(titleMatches(notes, huge));
  EXPECT_TRUE(titleMatches(huge + "y", "*" + huge));
}

// The environment of one test, put back afterwards.
class Environment {
 public:
  void set(const char* name, const char* value) {
    remember(name);
    if (value) setenv(name, value, 1);
    else unsetenv(name);
  }
  ~Environment() {
    for (auto& [name, value] : saved_) {
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    }
  }

 private:
  void remember(const char* name) {
    const char* value = std::getenv(name);
    saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

class DesktopCommandsTest : public test::ScriptTest {
 protected:
  Environment env;
  void SetUp() override {
    test::ScriptTest::SetUp();
    env.set("DISPLAY", nullptr);
    env.set("WAYLAND_DISPLAY", nullptr);
    env.set("XDG_SESSION_TYPE", nullptr);
    env.set("DBUS_SESSION_BUS_ADDRESS", nullptr);
    env.set("AT_SPI_BUS_ADDRESS", nullptr);
  }
};

constexpr const char* kNoDisplay = "Não há tela gráfica: a variável DISPLAY não está definida";

TEST_F(DesktopCommandsTest, WithoutDisplayEveryCommandSaysWhyAndTheScriptGoesOn) {
  std::string out = output(
      "t = \"antes\"\n"
      "JANELA MINIMIZA \"*Bloco\"\nCHECA e1\n"
      "ACIONA CTRL+SHIFT+F5\nCHECA e2\n"
      "DIGITA \"Olá\"\nCHECA e3\n"
      "CLICA DUPLO DIREITA 10 20\nCHECA e4\n"
      "x = 5\nRATO CAPTURA x y\nCHECA e5\n"
      "CAPTURA TITULO t\nCHECA e6\n"
      "c = \"antes\"\nCAPTURA CAMPO c\n"
      "SAIDA(\"fim\")\nSAIDA(e1)\nSAIDA(e2)\nSAIDA(e3)\nSAIDA(e4)\nSAIDA(e5)\nSAIDA(e6)\n"
      "SAIDA(x)\nSAIDA(\"[\" + t + c + \"]\")\n");
  size_t said = 0;
  for (size_t at = out.find(kNoDisplay); at != std::string::npos; at = out.find(kNoDisplay, at + 1)) ++said;
  EXPECT_EQ(said, 7u) << out;
  EXPECT_TRUE(out.ends_with("fim\n1\n1\n1\n1\n1\n1\n0\n[]\n")) << out;
}

TEST_F(DesktopCommandsTest, WaylandIsNamedAsTheReason) {
  env.set("DISPLAY", ":0");
  env.set("XDG_SESSION_TYPE", "wayland");
  std::string out = output("JANELA NORMAL \"x\"\nCHECA e\nSAIDA(e)\n");
  EXPECT_NE(out.find("Sessão Wayland"), std::string::npos) << out;
  EXPECT_NE(out.find("\n1\n"), std::string::npos) << out;
}

TEST_F(DesktopCommandsTest, WaitingForAWindowWithoutDisplayEndsAtOnce) {
  run("SEJA e = 0\n");
  EXPECT_FALSE(waitForWindowTitle(30, "Nunca"));
  EXPECT_EQ(ioStatus(), 1);
  EXPECT_NE(test::captured().find(kNoDisplay), std::string::npos);
}

TEST_F(DesktopCommandsTest, OperandComplaintsComeBeforeAnyDesktopWork) {
  struct Case {
    const char* line;
    const char* message;
  } cases[] = {
      {"JANELA", "Esperava a opção para o comando JANELA"},
      {"JANELA ABRE \"x\"", "Opção inválida para o comando JANELA: ABRE"},
      {"JANELA FECHA", "Esperava uma cadeia com o título da janela"},
      {"JANELA FECHA \"\"", "Esperava uma cadeia com o título da janela"},
      {"ACIONA", "Esperava o nome de uma tecla"},
      {"ACIONA \"\"", "Esperava o nome de uma tecla"},
      {"ACIONA ENTRAR", "Esperava o nome de uma tecla"},
      {"ACIONA CTRL+", "Esperava o nome de uma tecla"},
      {"DIGITA", "Esperava uma cadeia"},
      {"CLICA 10", "Esperava expressões numéricas para as coordenadas X e Y"},
      {"CLICA DUPLO \"a\" 3", "Esperava expressões numéricas para as coordenadas X e Y"},
      {"MOUSE CLICA TELA 1", "Esperava um valor inteiro"},
      {"MOUSE", "Esperava CAPTURA ou CLICA para o comando MOUSE"},
      {"CAPTURA", "Esperava uma opção para o comando CAPTURA"},
      {"CAPTURA JANELA t", "Opção inválida para o comando CAPTURA: JANELA"},
      {"MSAA", "Esperava um modificador"},
      {"MSAA ESCUTA", "Modificador inválido: ESCUTA para o comando MSAA"},
      {"MSAA CAPTURA COR c", "Modificador inválido: COR para o comando MSAA"},
  };
  for (const Case& c : cases) {
    std::string out = output(std::string(c.line) + "\nSAIDA(\"depois\")\n");
    EXPECT_NE(out.find(c.message), std::string::npos) << c.line << "\n" << out;
    EXPECT_EQ(out.find(kNoDisplay), std::string::npos) << c.line << "\n" << out;
    EXPECT_EQ(out.find("depois"), std::string::npos) << c.line;   // the command failed
    EXPECT_EQ(out.find("inicializada"), std::string::npos) << c.line << "\n" << out;
  }
}

TEST_F(DesktopCommandsTest, KeyNamesMayComeFromStringsOrBeforeAComment) {
  std::string out = output("k = \"ctrl+\" + \"c\"\nACIONA k\nACIONA \"F5\"\nACIONA ALT + F4 // fecha\n"
                           "SAIDA(\"depois\")\n");
  EXPECT_EQ(out.find("Esperava o nome"), std::string::npos) << out;
  EXPECT_NE(out.find("depois"), std::string::npos) << out;
}

TEST_F(DesktopCommandsTest, WithoutAccessibilityBusMonitoringSaysSoAndNothingArrives) {
  std::string out = output(
      "MSAA MONITORA\nCHECA e\nSAIDA(e)\nMSAA CHECA n\nSAIDA(n)\n"
      "nome = \"x\"\nMSAA CAPTURA NOME nome\nCHECA e\nSAIDA(\"[\" + nome + \"]\")\nSAIDA(e)\n"
      "MSAA FIM\nCAPTURA FOCO f\nCHECA e\nSAIDA(e)\n");
  EXPECT_NE(out.find("Barramento de acessibilidade (AT-SPI) não disponível"), std::string::npos) << out;
  EXPECT_NE(out.find("1\n0\n[]\n1\n"), std::string::npos) << out;
  EXPECT_TRUE(out.ends_with("1\n")) << out;
}

// A server that takes connections and never says a word.
class SilentServer {
 public:
  explicit SilentServer(int family) {
    fd_ = socket(family, SOCK_STREAM, 0);
    if (family == AF_UNIX) {
      path_ = "/tmp/varlo-silent-bus-" + std::to_string(getpid());
      unlink(path_.c_str());
      sockaddr_un address{};
      address.sun_family = AF_UNIX;
      std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path_.c_str());
      ok_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    } else {
      for (display_ = 60; display_ < 160 && !ok_; ++display_) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(uint16_t(6000 + display_));
        ok_ = bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
      }
      --display_;
    }
    ok_ = ok_ && listen(fd_, 8) == 0;
  }
  ~SilentServer() {
    close(fd_);
    if (!path_.empty()) unlink(path_.c_str());
  }
  bool ok() const { return ok_; }
  std::string display() const { return "127.0.0.1:" + std::to_string(display_); }
  std::string busAddress() const { return "unix:path=" + path_; }

 private:
  int fd_ = -1;
  int display_ = 0;
  bool ok_ = false;
  std::string path_;
};

TEST_F(DesktopCommandsTest, ADisplayThatNeverAnswersIsGivenUp) {
  SilentServer server(AF_INET);
  ASSERT_TRUE(server.ok());
  env.set("DISPLAY", server.display().c_str());
  std::string out = output("JANELA NORMAL \"x\"\nCHECA e\nSAIDA(e)\n");
  EXPECT_NE(out.find("A tela gráfica não respondeu"), std::string::npos) << out;
  EXPECT_TRUE(out.ends_with("1\n")) << out;
}

// Last: the accessibility connection is tried once per process.
TEST_F(DesktopCommandsTest, AnAccessibilityBusThatNeverAnswersIsGivenUp) {
  SilentServer server(AF_UNIX);
  ASSERT_TRUE(server.ok());
  env.set("DBUS_SESSION_BUS_ADDRESS", server.busAddress().c_str());
  std::string out = output("MSAA MONITORA\nCHECA e\nSAIDA(e)\nMSAA CHECA n\nSAIDA(n)\n");
  EXPECT_NE(out.find("não respondeu"), std::string::npos) << out;
  EXPECT_TRUE(out.ends_with("1\n0\n")) << out;
}

}  // namespace
}  // namespace varlo
