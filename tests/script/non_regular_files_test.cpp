// FIFOs, devices and planted links where the program means a regular file:
// each command refuses at once with its usual failure, nothing waits on an
// open() for ever, and no special file is replaced.
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "base/regular_file.h"
#include "script_fixture.h"
#include "sound/wav_buffer.h"

namespace varlo {
namespace {

namespace fs = std::filesystem;

class NonRegularFilesTest : public test::ScriptTest {
 protected:
  void SetUp() override {
    test::ScriptTest::SetUp();
    dir = fs::temp_directory_path() / ("varlo-nonregular-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    fifo = (dir / "fila").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // An open that waits for a writer ends the test program instead of
    // hanging it.
    alarm(60);
  }
  void TearDown() override {
    alarm(0);
    test::ScriptTest::TearDown();
    resetInterpreter();
    fs::remove_all(dir);
  }

  std::string path(const std::string& name) { return (dir / name).string(); }
  bool stillFifo() {
    struct stat info;
    return lstat(fifo.c_str(), &info) == 0 && S_ISFIFO(info.st_mode);
  }
  std::string error(const std::string& message) {
    return "Erro no script TESTE.SCR, linha 1:\n" + message + "\n";
  }

  fs::path dir;
  std::string fifo;
};

TEST_F(NonRegularFilesTest, AFifoIsRefusedByEveryCommandThatReadsAFile) {
  std::string q = "\"" + fifo + "\"";
  EXPECT_EQ(output("ABRE MUDO #1 " + q + "\nCHECA S\nSAIDA(S)\n"), "1\n");
  EXPECT_EQ(output("ABRE #1 " + q + " &\n"), error("Erro na abertura do arquivo " + fifo));
  EXPECT_EQ(output("SAIDA(ABREARQ(#2, " + q + ", \"L\"))\n"), "0\n");
  EXPECT_EQ(output("REPLICA " + q + " \"" + path("copia") + "\"\n"),
            error("Erro na leitura do arquivo " + fifo));
  EXPECT_FALSE(fs::exists(path("copia")));
  std::string toca = output("TOCA " + q + "\nCHECA S\nSAIDA(S)\n");
  EXPECT_NE(toca.find("Erro MCI"), std::string::npos) << toca;
  EXPECT_NE(toca.substr(toca.rfind('\n', toca.size() - 2) + 1), "0\n") << toca;
  std::string mci = output("MCI \"open " + fifo + " alias a\"\nCHECA S\nSAIDA(S)\n");
  EXPECT_NE(mci.find("Erro MCI"), std::string::npos) << mci;
  EXPECT_EQ(output("IMAGEM " + q + " 0 0\n"), error("Imagem inválida ou não encontrada"));
  EXPECT_EQ(output("IMAGEM \"" + path("fila.jpg") + "\" 0 0\n"),
            error("Imagem inválida ou não encontrada"));
  EXPECT_TRUE(stillFifo());
}

TEST_F(NonRegularFilesTest, AnEffectThatIsAFifoIsLeftOutOfTheJoin) {
  std::string target = path("temp.wav");
  TAmostras tone(1, 100, 16, 22050);
  ASSERT_TRUE(tone.save(target));
  auto before = fs::file_size(target);
  auto old = fs::current_path();
  fs::current_path(dir);
  JoinResult result = joinWav(fifo, 2, target);
  fs::current_path(old);
  EXPECT_NE(result, JoinResult::diskFull);
  EXPECT_EQ(fs::file_size(target), before);
}

TEST_F(NonRegularFilesTest, ACopyNeverReplacesAFifoOrADevice) {
  std::ofstream(path("a.txt")) << "texto\n";
  EXPECT_EQ(output("REPLICA \"" + path("a.txt") + "\" \"" + fifo + "\"\n"),
            error("Erro na escrita do arquivo " + fifo));
  EXPECT_TRUE(stillFifo());
  // Writing a descriptor to a character device the script named is allowed.
  EXPECT_EQ(output("ABRE #1 \"/dev/null\" &\nESCREVE #1 \"x\"\nFECHA #1\nCHECA S\nSAIDA(S)\n"),
            "0\n");
}

// A link planted at a name the program makes up is replaced, not followed.
TEST_F(NonRegularFilesTest, ScratchFilesNeverFollowAPlantedLink) {
  std::string victim = path("alheio.txt");
  std::ofstream(victim) << "intacto\n";
  std::string scratch = path("livro_001.wav");
  fs::create_symlink(victim, scratch);
  std::FILE* f = createScratchFile(scratch, "w+b");
  ASSERT_NE(f, nullptr);
  std::fputs("novo", f);
  std::fclose(f);
  EXPECT_FALSE(fs::is_symlink(scratch));
  std::ifstream in(victim);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "intacto");

  // A FIFO or a device at a scratch name is refused, never removed; an
  // engine's output named after a device is written in place.
  EXPECT_EQ(createScratchFile(fifo, "wb"), nullptr);
  EXPECT_TRUE(stillFifo());
  std::string device = path("nulo");
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
    EXPECT_EQ(createScratchFile(device, "wb"), nullptr);
    std::FILE* out = createOutputFile(device, "w+b");
    ASSERT_NE(out, nullptr);
    std::fclose(out);
    struct stat info;
    ASSERT_EQ(lstat(device.c_str(), &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
  }

  // The join's own scratch file and a conformed WAV's copy alike.
  fs::create_symlink(victim, dir / "ARQ_WAV.$$$");
  std::string target = path("temp.wav");
  std::string effect = path("efeito.wav");
  TAmostras tone(1, 100, 16, 22050);
  ASSERT_TRUE(tone.save(target));
  ASSERT_TRUE(tone.save(effect));
  fs::create_symlink(victim, effect + ".$$$");
  auto old = fs::current_path();
  fs::current_path(dir);
  EXPECT_EQ(joinWav(effect, 2, target), JoinResult::done);
  EXPECT_TRUE(conformWav(effect, 11025, 16, 1));
  fs::current_path(old);
  std::ifstream again(victim);
  std::getline(again, line);
  EXPECT_EQ(line, "intacto");
  EXPECT_EQ(fs::file_size(target), 44u + 400u);
}

}  // namespace
}  // namespace varlo
