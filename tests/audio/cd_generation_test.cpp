// Option G answered from the keyboard: the project written into an ISO
// image by createcd, the speed and label questions, and the failures the
// user must hear about.
#include "shell/cd_generation.h"
#include "shell/menu_options.h"

#include <array>
#include <cstdio>

#include "conversion_fixture.h"
#include "base/codepage.h"

namespace varlo::test {
namespace {

TEST(CdCommand, LabelSpeedAndDriveReachTheBurnerAsTyped) {
  EXPECT_EQ(burnerLabel("meu disco de teste"), "meu_disco_de_teste");
  EXPECT_EQ(recorderSetting("E:"), "E");
  EXPECT_EQ(recorderSetting(" /dev/sr1 "), "/dev/sr1");
  EXPECT_EQ(recorderSetting("/tmp/livros.iso"), "/tmp/livros.iso");
  EXPECT_EQ(burnerArguments("E", 0, "", "/p"),
            (std::vector<std::string>{"-r:E", "-eject", "-v", "/p/*.*"}));
  EXPECT_EQ(burnerArguments("/x.iso", 8, "rot", "/p"),
            (std::vector<std::string>{"-r:/x.iso", "-s:8", "-l:rot", "-eject", "-v", "/p/*.*"}));
  int speed = 2;
  for (int i = 0; i < 30; ++i) speed = nextSpeed(speed, key::Down);
  EXPECT_EQ(speed, 48);
  for (int i = 0; i < 30; ++i) speed = nextSpeed(speed, key::Up);
  EXPECT_EQ(speed, 2);
}

std::string run(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    std::array<char, 512> line;
    while (fgets(line.data(), line.size(), pipe)) out += line.data();
    pclose(pipe);
  }
  return out;
}

// Keys that must come after the refusal beeps, which discard waiting keys:
// the answer to "ENTER confirma", and a key ending the reminders once the
// burner has finished.
uint8_t confirmation = key::Enter;
bool confirmed = false;
void answerLateQuestions() {
  if (keyPending()) return;
  if (!confirmed && screenDump().find("ENTER confirma") != std::string::npos) {
    confirmed = true;
    pushKey(confirmation);
  } else if (screenDump().find("Verifique o resultado") != std::string::npos) {
    pushKey(key::Enter);
  }
}

class CdGeneration : public ConversionFixture {
 protected:
  void SetUp() override {
    ConversionFixture::SetUp();
    std::string path = std::string(VARLO_BINARY_DIR) + ":" + getenv("PATH");
    setenv("PATH", path.c_str(), 1);
    writeBytes(project / "LIVRO_001.PAR", "texto\n");
    fs::create_directories(audio);
    writeBytes(audio / "LIVRO_001.mp3", "som");
  }
  void TearDown() override {
    setPumpHook(PumpHook::media, nullptr);
    ConversionFixture::TearDown();
  }

  // Answers the speed, label and details questions with `keys`, then the
  // confirmation with `answer`.
  std::string generate(const std::string& keys, uint8_t answer = key::Enter) {
    clearWindow();
    flushKeyQueue();
    injectKeys(keys);
    confirmation = answer;
    confirmed = false;
    setPumpHook(PumpHook::media, answerLateQuestions);
    generateCd();
    return screenDump();
  }
};

TEST_F(CdGeneration, ProjectGoesIntoTheImageWithTheTypedLabel) {
  fs::path image = root / "disco.iso";
  appState().cdDrive = image.string();
  std::string screen = generate(std::string("\x1b") + "meu disco\rS");
  ASSERT_TRUE(fs::exists(image)) << screen;
  EXPECT_NE(screen.find(utf8ToCp1252("VELOCIDADE PADRÃO")), std::string::npos) << screen;
  // An image file has no drawer: where it went is said instead.
  EXPECT_NE(screen.find("Imagem do CD gravada com sucesso em " + image.lexically_normal().string()),
            std::string::npos) << screen;
  std::string listing = run("xorriso -indev '" + image.string() + "' -pvd_info -ls / -ls /WAVMP3 2>&1");
  EXPECT_NE(listing.find("Volume id    : 'meu_disco'"), std::string::npos) << listing;
  EXPECT_NE(listing.find("'LIVRO_001.PAR'"), std::string::npos);
  EXPECT_NE(listing.find("'LIVRO_001.mp3'"), std::string::npos);
  EXPECT_EQ(windowTitle(), "VARLO");
}

TEST_F(CdGeneration, NoRecorderOrNoConfirmationBurnsNothing) {
  appState().cdDrive = "";
  std::string screen = generate("");
  EXPECT_NE(screen.find(utf8ToCp1252("A unidade do CD não foi especificada")), std::string::npos);
  fs::path image = root / "disco.iso";
  appState().cdDrive = image.string();
  screen = generate("\r\rN", key::Esc);
  EXPECT_NE(screen.find("Desistiu"), std::string::npos) << screen;
  EXPECT_FALSE(fs::exists(image));
}

TEST_F(CdGeneration, BurnerFailureIsSaid) {
  appState().cdDrive = (root / "nao" / "existe" / "disco.iso").string();
  std::string screen = generate("\r\rN");
  // The burner's reason reaches the user, who is not sent to check a disc
  // that was not made.
  EXPECT_NE(screen.find(utf8ToCp1252("A pasta da imagem não existe")), std::string::npos) << screen;
  EXPECT_EQ(screen.find("Verifique o resultado"), std::string::npos) << screen;
}

// Esc at the speed: the number typed so far gives way to the default used.
TEST_F(CdGeneration, EscAtTheSpeedShowsTheDefault) {
  appState().cdDrive = (root / "disco.iso").string();
  std::string screen = generate("\x1b\rN", key::Esc);
  EXPECT_NE(screen.find(utf8ToCp1252("(ESC assume padrão) : PADRÃO\n")), std::string::npos)
      << screen;
}

TEST_F(CdGeneration, CtrlGReturnsToTheProjectDirectory) {
  AppState& s = appState();
  fs::path other = root / "outro";
  fs::create_directories(other);
  writeBytes(other / "novo.txt", "novo\n");
  s.savedProjectDirectory = s.projectDirectory;
  s.projectDirectory = other.string();
  s.newProjectMode = true;
  ASSERT_EQ(chdir(other.c_str()), 0);
  s.cdDrive = (root / "novo.iso").string();
  std::string screen = generate("\r\rN");
  EXPECT_NE(run("xorriso -indev '" + (root / "novo.iso").string() + "' -ls / 2>&1").find("novo.txt"),
            std::string::npos);
  EXPECT_FALSE(s.newProjectMode);
  EXPECT_EQ(s.projectDirectory, project.string());
  char here[4096];
  EXPECT_EQ(std::string(getcwd(here, sizeof here)), project.string());
  EXPECT_NE(screen.find(utf8ToCp1252("Voltei a trabalhar no diretório padrão")), std::string::npos);
}

// Nothing to burn is said before any question: no empty disc, and Ctrl+G
// does not make a folder of a mistyped path.
TEST_F(CdGeneration, EmptyOrMissingDirectoryIsRefusedAloud) {
  AppState& s = appState();
  fs::path empty = root / "vazia", image = root / "disco.iso";
  fs::create_directories(empty);
  s.cdDrive = image.string();
  s.projectDirectory = empty.string();
  std::string screen = generate("\r\rN");
  EXPECT_NE(screen.find(utf8ToCp1252("está vazia, não há o que gravar")), std::string::npos) << screen;
  EXPECT_EQ(screen.find("Informe com as setas"), std::string::npos);
  EXPECT_FALSE(fs::exists(image));

  s.projectDirectory = project.string();
  clearWindow();
  flushKeyQueue();
  injectKeys("\x19" + (root / "erro").string() + "\r");   // Ctrl+Y empties the field
  recordNewProject();
  screen = screenDump();
  EXPECT_NE(screen.find(utf8ToCp1252("não existe")), std::string::npos) << screen;
  EXPECT_NE(screen.find("Desistiu"), std::string::npos);
  EXPECT_FALSE(fs::exists(root / "erro"));
  EXPECT_FALSE(fs::exists(image));
  EXPECT_EQ(s.projectDirectory, project.string());
}

}  // namespace
}  // namespace varlo::test
