// Keys of a terminal speaking the kitty keyboard protocol, which the braille
// keyboard needs: the answer to the query, letters with their releases,
// shifted characters, and releases of other keys that must type nothing.
#include <gtest/gtest.h>

#include <vector>

#include "console/console.h"
#include "frontends/terminal_keys.h"

namespace varlo {
namespace {

std::vector<TerminalKey> decode(std::string_view bytes) {
  std::vector<TerminalKey> keys;
  EXPECT_EQ(decodeTerminalInput(bytes, true, keys), bytes.size());
  return keys;
}

TEST(KeyReleases, TheQueryAnswerSaysTheTerminalCanReportThem) {
  auto keys = decode("\x1b[?1u");
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(keys[0].source, TerminalKey::Source::keyReleases);
  EXPECT_TRUE(decode("\x1b[?62;22c").empty()) << "the device attributes are no key";
}

TEST(KeyReleases, LettersCarryTheirKeyPressedAndReleased) {
  auto keys = decode("\x1b[102u\x1b[102;1:2u\x1b[102;1:3u\x1b[32u\x1b[32;1:3u");
  ASSERT_EQ(keys.size(), 5u);
  EXPECT_EQ(keys[0].code, 'f');
  EXPECT_EQ(keys[0].letter, 'F');
  EXPECT_FALSE(keys[0].released);
  EXPECT_EQ(keys[1].code, 'f') << "a repeat is a press";
  EXPECT_TRUE(keys[2].released);
  EXPECT_EQ(keys[2].letter, 'F');
  EXPECT_EQ(keys[3].code, ' ');
  EXPECT_EQ(keys[3].letter, ' ');
  EXPECT_TRUE(keys[4].released);
}

TEST(KeyReleases, ShiftTypesTheShiftedCharacter) {
  auto keys = decode("\x1b[97:65;2u\x1b[49:33;2u\x1b[231u");
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].code, 'A');
  EXPECT_EQ(keys[0].letter, 'A');
  EXPECT_EQ(keys[1].code, '!');
  EXPECT_EQ(keys[1].letter, 0);
  EXPECT_EQ(keys[2].code, 0xE7) << "ç";
}

TEST(KeyReleases, OtherKeysTypeOnlyWhenPressed) {
  auto keys = decode("\x1b[13u\x1b[13;1:3u\x1b[1;5:1A\x1b[1;5:3A\x1b[15;1:3~\x1b[57441;2u");
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].code, key::Enter);
  EXPECT_TRUE(keys[1].released);
  EXPECT_EQ(keys[1].letter, 0);
  EXPECT_TRUE(keys[2].extended);
  EXPECT_EQ(keys[2].code, key::CtrlUp);
}

}  // namespace
}  // namespace varlo
