#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "base/config.h"
#include "base/ini_file.h"

using namespace varlo;
namespace fs = std::filesystem;

namespace {

void writeFile(const fs::path& path, const std::string& text) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// A suite directory and a user configuration directory of the test's own.
class Settings : public ::testing::Test {
 protected:
  void SetUp() override {
    root = fs::temp_directory_path() / ("varlo-config-" + std::to_string(getpid()));
    fs::remove_all(root);
    setenv("VARLO_SUITE", (root / "suite").c_str(), 1);
    setenv("XDG_CONFIG_HOME", (root / "home").c_str(), 1);
    fs::create_directories(root / "suite");
    setLegacyLookup(true);
    reloadSettings();
  }
  void TearDown() override { fs::remove_all(root); }
  fs::path suiteIni() const { return root / "suite" / "Murena.ini"; }
  fs::path userIni() const { return root / "home" / "murena" / "Murena.ini"; }
  fs::path root;
};

}  // namespace

TEST_F(Settings, ExpandsPathMacros) {
  writeFile(suiteIni(),
            "[MURENA]\nPGMMURENA=@\n[T]\nA=@\nB=@x\nC=@\\som\\letras\nD=@@\\nome.txt\nE=c:\\dados\\x\n");
  std::string suite = (root / "suite").string();
  EXPECT_EQ(readSetting("T", "A"), suite);
  EXPECT_EQ(readSetting("T", "B"), "@x");
  EXPECT_EQ(readSetting("T", "C"), suite + "/som/letras");
  EXPECT_EQ(readSetting("T", "D"), suite + "/nome.txt");  // settings directory is the suite's here
  EXPECT_EQ(readSetting("T", "E"), "c:/dados/x");
  EXPECT_EQ(readSetting("T", "missing"), "");
  EXPECT_EQ(readSetting("nosection", "A"), "");
}

TEST_F(Settings, SuiteProgramDirectoryComesFromPgmMurenaWithoutLooping) {
  writeFile(suiteIni(), "[MURENA]\nPGMMURENA=/opt/murena\n[T]\nA=@\\a\n");
  EXPECT_EQ(readSetting("T", "A"), "/opt/murena/a");
  writeFile(suiteIni(), "[MURENA]\nPGMMURENA=@\\sub\n[T]\nA=@\\a\n");
  reloadSettings();
  EXPECT_EQ(readSetting("T", "A"), (root / "suite").string() + "/sub/a");
  // A directory ending in "@" is put in once, not expanded again.
  writeFile(suiteIni(), "[MURENA]\nPGMMURENA=@\\sub@\n[T]\nA=@\\a\n");
  reloadSettings();
  EXPECT_EQ(readSetting("T", "A"), (root / "suite").string() + "/sub@/a");
}

TEST_F(Settings, UserFileWinsAndLegacyFillsGaps) {
  writeFile(suiteIni(), "[VARLO]\nCD=/dev/sr0\nCLEK=NAO\n");
  writeFile(userIni(), "[varlo]\ncd = /tmp/disco.iso\n");
  EXPECT_EQ(configDirectory(), userIni().parent_path().string());
  EXPECT_EQ(readSetting("VARLO", "CD"), "/tmp/disco.iso");
  EXPECT_EQ(readSetting("VARLO", "CLEK"), "NAO");
  setLegacyLookup(false);
  EXPECT_EQ(readSetting("VARLO", "CLEK"), "");
}

TEST_F(Settings, MissingFilesReadAsEmpty) {
  EXPECT_EQ(readSetting("VARLO", "CD"), "");
  EXPECT_EQ(configDirectory(), userIni().parent_path().string());
}

TEST(IniText, ValuesAreTrimmedUnquotedAndCut) {
  std::string text = "; comment\n[A]\r\nK1 = \"quoted value\" \r\nK2=" + std::string(300, 'x') +
                     "\r\n;K3=commented\r\n[B]\nK1=other\n";
  EXPECT_EQ(iniValue(text, "a", "k1"), "quoted value");
  EXPECT_EQ(iniValue(text, "A", "K2")->size(), 255u);
  EXPECT_FALSE(iniValue(text, "A", "K3"));
  EXPECT_EQ(iniValue(text, "B", "K1"), "other");
}

TEST(IniText, SettingAValueKeepsEveryOtherByte) {
  std::string text = "; my notes\r\n[MURENA]\r\nLEGADO=SIM\r\n\r\n[VARLO]\r\nCD=x\r\n; keep\r\n\r\n[Z]\r\nQ=1\r\n";
  std::string changed = iniWithValue(text, "VARLO", "CD", "/dev/sr1");
  EXPECT_EQ(changed, "; my notes\r\n[MURENA]\r\nLEGADO=SIM\r\n\r\n[VARLO]\r\nCD=/dev/sr1\r\n; keep\r\n\r\n[Z]\r\nQ=1\r\n");
  std::string added = iniWithValue(text, "VARLO", "CLEK", "NAO");
  EXPECT_EQ(added, "; my notes\r\n[MURENA]\r\nLEGADO=SIM\r\n\r\n[VARLO]\r\nCD=x\r\n; keep\r\nCLEK=NAO\r\n\r\n[Z]\r\nQ=1\r\n");
  EXPECT_EQ(iniWithValue("[A]\nX=1", "B", "Y", "2"), "[A]\nX=1\n[B]\nY=2\n");
  EXPECT_EQ(iniWithValue("", "B", "Y", "2"), "[B]\nY=2\n");
}

// What common editors write: a byte-order mark before the first section.
TEST(IniText, AByteOrderMarkDoesNotHideTheFirstSection) {
  std::string text = "\xEF\xBB\xBF[MURENA]\r\nTIMEOUT_REDE=500\r\n[VARLO]\r\nCD=/dev/sr0\r\n";
  EXPECT_EQ(iniValue(text, "MURENA", "TIMEOUT_REDE"), "500");
  EXPECT_EQ(iniValue(text, "VARLO", "CD"), "/dev/sr0");
  EXPECT_EQ(iniWithValue(text, "MURENA", "TIMEOUT_REDE", "700"),
            "\xEF\xBB\xBF[MURENA]\r\nTIMEOUT_REDE=700\r\n[VARLO]\r\nCD=/dev/sr0\r\n");
}

TEST_F(Settings, WritingCreatesTheUserFileAndRespectsReadOnly) {
  ASSERT_TRUE(writeIniSection(userIni(), "VARLO", {{"CD", "/dev/sr0"}, {"CLEK", "NAO"}}));
  EXPECT_EQ(readFile(userIni()), "[VARLO]\nCD=/dev/sr0\nCLEK=NAO\n");
  fs::permissions(userIni(), fs::perms::owner_read);
  EXPECT_FALSE(writeIniSection(userIni(), "VARLO", {{"CD", "x"}}));
  EXPECT_EQ(readFile(userIni()), "[VARLO]\nCD=/dev/sr0\nCLEK=NAO\n");
}

// The program's text is Windows-1252 and file names on disk are UTF-8; a
// settings file may be written in either encoding and reads the same.
TEST_F(Settings, AccentedValuesReadTheSameFromUtf8AndWindows1252Files) {
  const std::string latin = "\xF3";        // ó in Windows-1252
  const std::string utf8 = "\xC3\xB3";     // ó in UTF-8
  for (const std::string& encoded : {utf8, latin}) {
    writeFile(userIni(), "[VARLO]\nCD=/tmp/x/c" + encoded + "pia.iso\nCLEK=N" + encoded + "\n");
    reloadSettings();
    EXPECT_EQ(readSetting("VARLO", "CD"), "/tmp/x/c" + latin + "pia.iso");
    EXPECT_EQ(readPathSetting("VARLO", "CD"), "/tmp/x/c" + utf8 + "pia.iso");
    EXPECT_EQ(readRawSetting("VARLO", "CLEK"), "N" + latin);
  }
}

TEST_F(Settings, WritingKeepsTheFileEncodingAndNewFilesAreUtf8) {
  const std::string typed = "cora\xE7\xE3o.iso";   // coração as typed, Windows-1252
  ASSERT_TRUE(writeIniSection(userIni(), "VARLO", {{"CD", typed}, {"CLEK", "N\xC3O"}}));
  EXPECT_EQ(readFile(userIni()), "[VARLO]\nCD=cora\xC3\xA7\xC3\xA3o.iso\nCLEK=N\xC3\x83O\n");
  reloadSettings();
  EXPECT_EQ(readSetting("VARLO", "CD"), typed);

  writeFile(userIni(), "[VARLO]\n; c\xF3pia em Windows-1252\nCD=x\n");
  ASSERT_TRUE(writeIniSection(userIni(), "VARLO", {{"CD", typed}}));
  EXPECT_EQ(readFile(userIni()), "[VARLO]\n; c\xF3pia em Windows-1252\nCD=" + typed + "\n");
  reloadSettings();
  EXPECT_EQ(readPathSetting("VARLO", "CD"), "cora\xC3\xA7\xC3\xA3o.iso");
}
