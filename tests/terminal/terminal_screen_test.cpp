#include "frontends/terminal_screen.h"

#include <gtest/gtest.h>

namespace varlo {
namespace {

ScreenImage blankImage(uint8_t attribute) {
  ScreenImage image;
  image.chars.fill(' ');
  image.attributes.fill(attribute);
  return image;
}

void put(ScreenImage& image, int column, int row, std::string_view text, uint8_t attribute) {
  for (char c : text) {
    image.chars[row * kColumns + column] = static_cast<uint8_t>(c);
    image.attributes[row * kColumns + column++] = attribute;
  }
}

TEST(TerminalScreen, FullDrawHasColoursAndUtf8Text) {
  ScreenImage shown, wanted = blankImage(0x07);
  put(wanted, 0, 0, "Op\xE7\xE3o", 0x1E);
  std::string out;
  renderScreenChanges(shown, wanted, true, out);
  EXPECT_EQ(out.find("\x1b[1;1H\x1b[0;38;2;255;255;0;48;2;0;0;255mOpção\x1b[0;38;2;192;192;192;48;2;0;0;0m"), 0u);
  for (int row = 1; row <= kRows; ++row)
    EXPECT_NE(out.find("\x1b[" + std::to_string(row) + ";1H"), std::string::npos) << row;
  EXPECT_EQ(shown.chars, wanted.chars);
}

TEST(TerminalScreen, OnlyTheChangedSpanIsSent) {
  ScreenImage shown = blankImage(0x07), wanted = blankImage(0x07);
  std::string out;
  renderScreenChanges(shown, wanted, false, out);
  EXPECT_EQ(out, "");
  put(wanted, 4, 2, "a", 0x07);
  put(wanted, 9, 2, "b", 0x07);
  renderScreenChanges(shown, wanted, false, out);
  EXPECT_EQ(out, "\x1b[3;5H\x1b[0;38;2;192;192;192;48;2;0;0;0ma    b");
  out.clear();
  wanted.attributes[24 * kColumns + 79] = 0x70;   // a colour change alone counts
  renderScreenChanges(shown, wanted, false, out);
  EXPECT_EQ(out, "\x1b[25;80H\x1b[0;38;2;0;0;0;48;2;192;192;192m ");
}

TEST(TerminalScreen, ControlCharactersNeverReachTheTerminal) {
  EXPECT_EQ(terminalText("a\x1b]2;x\x07\x7f\x81\x9d\xe9"), "a?]2;x???" "?é");
  EXPECT_EQ(terminalText("\x80\x93"), "€“");
}

}  // namespace
}  // namespace varlo
