// The createcd options and the xorriso run built from them.
#include "production/cd_generation_burner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include <unistd.h>

namespace varlo {
namespace {

bool hasPair(const std::vector<std::string>& args, const std::string& a, const std::string& b) {
  for (size_t i = 0; i + 1 < args.size(); ++i)
    if (args[i] == a && args[i + 1] == b) return true;
  return false;
}

TEST(BurnArguments, AllOptionsAreRead) {
  BurnRequest r;
  std::string error;
  ASSERT_TRUE(parseBurnArguments({"-r:/dev/sr1", "-s:48", "-l:meu_disco", "-eject", "-v",
                                  "/livros/*.*"}, r, error)) << error;
  EXPECT_EQ(r.recorder, "/dev/sr1");
  EXPECT_EQ(r.speed, 48);
  EXPECT_EQ(r.label, "meu_disco");
  EXPECT_TRUE(r.eject);
  EXPECT_TRUE(r.verbose);
  EXPECT_EQ(r.source, "/livros/*.*");
}

TEST(BurnArguments, BadOrMissingOptionsAreExplained) {
  BurnRequest r;
  std::string error;
  EXPECT_FALSE(parseBurnArguments({"-r:E", "-s:rapido", "/x/*.*"}, r, error));
  EXPECT_NE(error.find("Velocidade"), std::string::npos);
  error.clear();
  BurnRequest noRecorder;
  EXPECT_FALSE(parseBurnArguments({"/x/*.*"}, noRecorder, error));
  EXPECT_FALSE(error.empty());
  error.clear();
  BurnRequest fresh;
  EXPECT_FALSE(parseBurnArguments({"-r:E", "-x"}, fresh, error));
  EXPECT_NE(error.find("-x"), std::string::npos);
}

TEST(BurnRecorder, DriveLettersMeanTheOpticalDriveAndIsoPathsAnImage) {
  EXPECT_EQ(recorderDevice("E"), "/dev/sr0");
  EXPECT_EQ(recorderDevice("e:"), "/dev/sr0");
  EXPECT_EQ(recorderDevice("/dev/sr1"), "/dev/sr1");
  EXPECT_TRUE(isImagePath("/tmp/Disco.ISO"));
  EXPECT_FALSE(isImagePath("/dev/sr0"));
  EXPECT_FALSE(isImagePath("iso"));
}

TEST(BurnXorriso, ImageGetsLabelNamesAndNoSpeedOrEject) {
  BurnRequest r;
  r.recorder = "/tmp/a.iso";
  r.speed = 8;
  r.eject = true;
  auto args = xorrisoArguments(r, {"/p/LIVRO_001.PAR", "/p/WAVMP3"}, "stdio:/tmp/a.iso", "2026_12_07");
  EXPECT_TRUE(hasPair(args, "-volid", "2026_12_07"));
  EXPECT_TRUE(hasPair(args, "-joliet", "on"));
  EXPECT_TRUE(hasPair(args, "-map", "/p/WAVMP3"));
  EXPECT_TRUE(hasPair(args, "/p/WAVMP3", "/WAVMP3"));
  EXPECT_TRUE(hasPair(args, "-commit_eject", "none"));
  EXPECT_EQ(std::find(args.begin(), args.end(), "-speed"), args.end());

  r.recorder = "/dev/sr0";
  r.label = std::string(40, 'L');
  args = xorrisoArguments(r, {"/p/x"}, "/dev/sr0", "hoje");
  EXPECT_TRUE(hasPair(args, "-speed", "8c"));
  EXPECT_TRUE(hasPair(args, "-commit_eject", "all"));
  EXPECT_TRUE(hasPair(args, "-volid", std::string(32, 'L')));
  EXPECT_EQ(volumeId(std::string(31, 'a') + "\xC3\xA7\xC3\xA3", "hoje"), std::string(31, 'a'));
}

TEST(BurnSource, MaskSelectsEntriesWithoutRegardToCaseAndSkipsHiddenOnes) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("cdsrc" + std::to_string(::getpid()));
  fs::create_directories(dir / "WAVMP3");
  for (const char* name : {"a.txt", "B.TXT", "c.mp3", ".oculto"})
    std::fclose(std::fopen((dir / name).c_str(), "w"));
  auto all = sourceEntries(dir.string() + "/*.*");
  EXPECT_EQ(all.size(), 4u);  // a.txt, B.TXT, c.mp3, WAVMP3
  auto texts = sourceEntries(dir.string() + "/*.txt");
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[0], dir.string() + "/B.TXT");
  EXPECT_TRUE(sourceEntries(dir.string() + "/nada/*.*").empty());
  fs::remove_all(dir);
}

// A recorder that cannot be written is explained before xorriso runs.
TEST(BurnRecorder, MissingImageFolderOrDeviceIsExplained) {
  namespace fs = std::filesystem;
  fs::path dir = fs::temp_directory_path() / ("varlo-rec-" + std::to_string(getpid()));
  fs::create_directories(dir);
  EXPECT_EQ(recorderProblem((dir / "disco.iso").string()), "");
  EXPECT_EQ(recorderProblem((dir / "nada" / "disco.iso").string()),
            "A pasta da imagem não existe: " + (dir / "nada").string());
  EXPECT_NE(recorderProblem("/dev/varlo-nenhum").find("não foi encontrado"), std::string::npos);
  fs::remove_all(dir);
}

}  // namespace
}  // namespace varlo
