// Letter case, vowels, character names, the attention sounds, the battery
// and addresses.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>

#include "speech/speech.h"
#include "speech/speech_char_names.h"
#include "speech/speech_sounds.h"
#include "speech/speech_state.h"
#include "speech/speech_system.h"
#include "base/codepage.h"
#include "speech_fixture.h"

namespace varlo::test {
namespace {

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
}
uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return b[at] | b[at + 1] << 8; }

void expectShortWaveHeader(const std::vector<uint8_t>& image, uint32_t samples) {
  ASSERT_EQ(image.size(), 44 + samples);
  EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "RIFF");
  EXPECT_EQ(le32(image, 4), 36 + samples);
  EXPECT_EQ(std::string(image.begin() + 8, image.begin() + 16), "WAVEfmt ");
  EXPECT_EQ(le16(image, 20), 1);        // PCM
  EXPECT_EQ(le16(image, 22), 1);        // mono
  EXPECT_EQ(le32(image, 24), 11025u);
  EXPECT_EQ(le16(image, 34), 8);
  EXPECT_EQ(std::string(image.begin() + 36, image.begin() + 40), "data");
  EXPECT_EQ(le32(image, 40), samples);
}

TEST(AttentionSounds, BeepRepeatsItsPatternAndEndsSilent) {
  const auto& beep = beepSound();
  expectShortWaveHeader(beep, 512);
  const uint8_t pattern[] = {128, 112, 96, 80, 64, 80, 96, 112};
  for (size_t i = 0; i < 511; ++i) ASSERT_EQ(beep[44 + i], pattern[i % 8]) << i;
  EXPECT_EQ(beep[44 + 511], 128);
}

TEST(AttentionSounds, ClickIsACrackleThenSilence) {
  const auto& click = clickSound();
  expectShortWaveHeader(click, 256);
  bool varied = false;
  for (size_t i = 0; i < 64; ++i) {
    EXPECT_GE(click[44 + i], 128);
    EXPECT_LT(click[44 + i], 188);
    varied = varied || click[44 + i] != click[44];
  }
  EXPECT_TRUE(varied);
  for (size_t i = 64; i < 256; ++i) ASSERT_EQ(click[44 + i], 128) << i;
}

TEST(TextCase, UpperTextFoldsAccentedLetters) {
  EXPECT_EQ(upperText(utf8ToCp1252("ação à vista, já!")), utf8ToCp1252("AÇÃO À VISTA, JÁ!"));
  EXPECT_EQ(upperText("abc-XYZ 09"), "ABC-XYZ 09");
  // Only a-z and bytes 224-255 change.
  EXPECT_EQ(upperText("\xAA\xB5\xDF"), "\xAA\xB5\xDF");
}

TEST(TextCase, HasVowelLooksForAnythingButConsonants) {
  EXPECT_FALSE(hasVowel("BCDFG"));
  EXPECT_FALSE(hasVowel("rst"));
  EXPECT_FALSE(hasVowel(""));
  EXPECT_TRUE(hasVowel("brt a"));   // a space is not a consonant either
  EXPECT_TRUE(hasVowel("pq1"));
  EXPECT_TRUE(hasVowel(utf8ToCp1252("ç")));
  EXPECT_TRUE(hasVowel("W"));
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path) << text << "\n";
}

TEST(CharacterNames, EverySymbolOfAsciiIsNamedAndNothingElse) {
  for (int c = 0; c < 256; ++c) {
    const bool symbol = c == 0 || c == '\f' || (std::ispunct(c) && c < 127) || c == ' ';
    EXPECT_EQ(symbolName(uint8_t(c)) != nullptr, symbol) << c;
  }
  EXPECT_STREQ(symbolName(','), "vírgula");
  // The engine is given Windows-1252 text.
  EXPECT_EQ(characterName(0), "tecla de fun\xE7\xE3o");
  EXPECT_EQ(characterName('\t'), "tab");
  EXPECT_EQ(characterName(1), "controle 1");
  EXPECT_EQ(characterName(127), "controle 127");
  EXPECT_EQ(characterName(0xE7), "\xE7");
}

TEST(Battery, ReadsTheSystemBatteryAndTheMains) {
  auto root = makeTempDir("varlo-power");
  EXPECT_FALSE(readBatteryStatus(root.string()).hasBattery);
  writeFile(root / "hidpp_battery_0" / "type", "Battery");   // a mouse's battery
  writeFile(root / "hidpp_battery_0" / "scope", "Device");
  writeFile(root / "hidpp_battery_0" / "capacity", "10");
  EXPECT_FALSE(readBatteryStatus(root.string()).hasBattery);
  writeFile(root / "BAT0" / "type", "Battery");
  writeFile(root / "BAT0" / "capacity", "73");
  writeFile(root / "AC" / "type", "Mains");
  writeFile(root / "AC" / "online", "0");
  BatteryStatus status = readBatteryStatus(root.string());
  EXPECT_TRUE(status.hasBattery);
  EXPECT_EQ(status.percent, 73);
  EXPECT_FALSE(status.onMains);
  writeFile(root / "AC" / "online", "1");
  EXPECT_TRUE(readBatteryStatus(root.string()).onMains);
  std::filesystem::remove_all(root);
}

class Addresses : public SpeechFixture {};

TEST_F(Addresses, ChooseTheConfiguredProgramOrTheTextItself) {
  configure("[MURENA]\nLEGADO=NAO\nPROG.HTM=navegador --nova-janela\n"
            "PROG.PDF=\"/opt/meu leitor/leitor\" -p\n");
  using Words = std::vector<std::string>;
  AddressLaunch web = planAddress("www.murena.org", "/home/u");
  EXPECT_EQ(web.command, (Words{"navegador", "--nova-janela"}));
  EXPECT_EQ(web.parameter, "www.murena.org");
  AddressLaunch pdf = planAddress("livro.pdf", "/home/u");
  EXPECT_EQ(pdf.command, (Words{"/opt/meu leitor/leitor", "-p"}));
  EXPECT_EQ(pdf.parameter, "livro.pdf");
  AddressLaunch text = planAddress("nota.txt", "/home/u");
  EXPECT_TRUE(text.command.empty());
  EXPECT_EQ(text.parameter, "nota.txt");
  // A program named by the text itself is a path, never cut at its blanks.
  AddressLaunch local = planAddress("meus jogos\\jogo.exe", "/home/u/");
  EXPECT_EQ(local.command, Words{"/home/u/meus jogos/jogo.exe"});
  EXPECT_EQ(local.parameter, "");
  EXPECT_EQ(planAddress("/opt/x.com", "/home/u").command, Words{"/opt/x.com"});
}

}  // namespace
}  // namespace varlo::test
