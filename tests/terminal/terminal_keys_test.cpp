#include "frontends/terminal_keys.h"

#include <gtest/gtest.h>

#include "console/console.h"

namespace varlo {
namespace {

// Keys as the queue would hold them: an extended key is 0 and its code.
std::string keysOf(std::string_view bytes, bool idle = true, size_t* used = nullptr) {
  std::vector<TerminalKey> keys;
  size_t n = decodeTerminalInput(bytes, idle, keys);
  if (used) *used = n;
  std::string out;
  for (const TerminalKey& k : keys) {
    if (k.extended) out += '\0';
    out += static_cast<char>(k.code);
  }
  return out;
}

std::string ext(uint8_t code) { return std::string(1, '\0') + static_cast<char>(code); }

TEST(TerminalKeys, FunctionKeysInEveryCommonForm) {
  EXPECT_EQ(keysOf("\x1bOP\x1bOQ\x1bOR\x1bOS"), ext(59) + ext(60) + ext(61) + ext(62));
  EXPECT_EQ(keysOf("\x1b[11~\x1b[15~\x1b[17~\x1b[21~\x1b[23~\x1b[24~"),
            ext(59) + ext(63) + ext(64) + ext(68) + ext(69) + ext(70));
  EXPECT_EQ(keysOf("\x1b[[A\x1b[[E"), ext(59) + ext(63));   // Linux console
  // Ctrl through the modifier parameter, in both forms.
  EXPECT_EQ(keysOf("\x1b[1;5P\x1b[15;5~\x1b[24;5~\x1bO5S"), ext(94) + ext(98) + ext(105) + ext(97));
  // Shift does not change the code.
  EXPECT_EQ(keysOf("\x1b[1;2Q\x1b[19;2~\x1b[20;2~"), ext(60) + ext(66) + ext(67));
}

TEST(TerminalKeys, CursorAndEditingKeysWithModifiers) {
  EXPECT_EQ(keysOf("\x1b[A\x1b[B\x1b[C\x1b[D\x1b[H\x1b[F"),
            ext(72) + ext(80) + ext(77) + ext(75) + ext(71) + ext(79));
  EXPECT_EQ(keysOf("\x1bOA\x1bOH"), ext(72) + ext(71));   // application cursor mode
  EXPECT_EQ(keysOf("\x1b[1;5A\x1b[1;5B\x1b[1;5D\x1b[1;5C\x1b[1;5H\x1b[1;5F"),
            ext(113) + ext(114) + ext(115) + ext(116) + ext(119) + ext(117));
  EXPECT_EQ(keysOf("\x1b[2~\x1b[3~\x1b[5~\x1b[6~\x1b[1~\x1b[4~"),
            ext(82) + ext(83) + ext(73) + ext(81) + ext(71) + ext(79));
  EXPECT_EQ(keysOf("\x1b[2;2~"), ext(key::ShiftInsert));
  EXPECT_EQ(keysOf("\x1b[2;5~"), ext(key::CtrlInsert));
  EXPECT_EQ(keysOf("\x1b[2;6~"), ext(key::CtrlInsert));   // Ctrl wins over Shift
  EXPECT_EQ(keysOf("\x1b[3;5~\x1b[5;5~\x1b[6;5~"), ext(83) + ext(132) + ext(118));
  EXPECT_EQ(keysOf("\x1b[2^\x1b[2$"), ext(255) + ext(254));   // rxvt
}

TEST(TerminalKeys, AltCombinations) {
  EXPECT_EQ(keysOf("\x1bx\x1bX\x1b" "0\x1b" "5"), ext(45) + ext(45) + ext(129) + ext(124));
  EXPECT_EQ(keysOf("\x1b\x03"), ext(46));          // Ctrl+Alt+C
  EXPECT_EQ(keysOf("\x1b[1;3D\x1b[1;3C"), ext(75) + ext(77));
  EXPECT_EQ(keysOf("\x1b[1;3A\x1b[15;3~"), "");   // the desktop's keys (Alt+F5 ...)
  EXPECT_EQ(keysOf("\x1b[1;7A"), ext(113));        // Ctrl+Alt+Up is Ctrl+Up
  EXPECT_EQ(keysOf("\x1b.\x1b\x7f\x1b\xC3\xA7q"), "q");
}

// A run of digits longer than any real parameter (a paste, line noise) is
// read the same in both forms and does not overflow.
TEST(TerminalKeys, OverlongModifierReadsTheSameInBothForms) {
  for (std::string digits : {"100000101", "10000015555555", "8888888888888888888"})
    EXPECT_EQ(keysOf("\x1bO" + digits + "P"), keysOf("\x1b[1;" + digits + "P")) << digits;
}

TEST(TerminalKeys, EscapeAloneNeedsTheTimeout) {
  size_t used = 9;
  EXPECT_EQ(keysOf("ab\x1b", false, &used), "ab");
  EXPECT_EQ(used, 2u);
  EXPECT_EQ(keysOf("\x1b", true), "\x1b");
  EXPECT_EQ(keysOf("\x1b\x1b", true), "\x1b\x1b");
  EXPECT_EQ(keysOf("\x1b\x1b[A", true), "\x1b" + ext(72));
  // A sequence cut short waits for the rest.
  EXPECT_EQ(keysOf("\x1b[1;5", false, &used), "");
  EXPECT_EQ(used, 0u);
  EXPECT_EQ(keysOf("\x1bO", true), ext(24));   // Alt+O typed alone
}

TEST(TerminalKeys, UnknownSequencesAreSwallowedWhole) {
  EXPECT_EQ(keysOf("\x1b[99~a\x1b[1;5Xb\x1b[?1;2cc\x1b[>0;95;0cd"), "abcd");
  EXPECT_EQ(keysOf("\x1bOZe\x1b[200~f\x1b[201~"), "ef");
  EXPECT_EQ(keysOf("\x1b[1;5", true), "");   // cut short for good: dropped
  // A broken sequence is dropped; the key that interrupts it survives.
  EXPECT_EQ(keysOf("\x1b[12\x1b[A"), ext(72));
  EXPECT_EQ(keysOf("\x1b[" + std::string(200, '1') + ";" + std::string(90, '5') + "~z"), "z");
}

TEST(TerminalKeys, CharactersAndControlKeys) {
  EXPECT_EQ(keysOf("a\r\n\t"), "a\r\n\t");
  EXPECT_EQ(keysOf("\x7f\x08"), "\x08\x7f");   // Backspace, Ctrl+Backspace
  EXPECT_EQ(keysOf("\x03\x1a"), "\x03\x1a");   // Ctrl+C, Ctrl+Z reach the program
  EXPECT_EQ(keysOf(std::string("\0x", 2)), "x");
  EXPECT_EQ(keysOf("a\xC3\xA7\xC3\x83o \xE2\x82\xAC"), "a\xE7\xC3o \x80");
  EXPECT_EQ(keysOf("\xE6\x97\xA5!"), "!");     // no Windows-1252 form: nothing
  EXPECT_EQ(keysOf("\xE7" "a"), "\xE7" "a");   // a Latin-1 terminal's byte
  size_t used = 9;
  EXPECT_EQ(keysOf("x\xC3", false, &used), "x");
  EXPECT_EQ(used, 1u);
  EXPECT_EQ(keysOf("\x1b[Z"), "\t");
}

TEST(TerminalKeys, KeysReportedWithModifiers) {
  EXPECT_EQ(keysOf("\x1b[13;5u\x1b[127;5u\x1b[97;5u\x1b[97;3u"), "\n\x7f\x01" + ext(30));
  EXPECT_EQ(keysOf("\x1b[27;5;13~\x1b[27;1;231~"), "\n\xE7");
}

TEST(TerminalKeys, MouseReports) {
  std::vector<TerminalKey> keys;
  decodeTerminalInput("\x1b[<0;10;5M\x1b[<0;10;5m\x1b[<2;1;1M\x1b[<1;1;1M\x1b[<64;3;3M\x1b[<65;3;3M"
                      "\x1b[<32;4;4M\x1b[<35;4;4M",
                      true, keys);
  std::string codes;
  for (const TerminalKey& k : keys) {
    EXPECT_EQ(k.source, TerminalKey::Source::mouse);
    codes += k.extended ? ext(k.code) : std::string(1, static_cast<char>(k.code));
  }
  EXPECT_EQ(codes, "\r\x1b" + ext(67) + ext(72) + ext(80));
  // The old three-byte form: press left, release.
  EXPECT_EQ(keysOf("\x1b[M !!\x1b[M#!!"), "\r");
}

TEST(TerminalKeys, FocusReports) {
  std::vector<TerminalKey> keys;
  decodeTerminalInput("\x1b[I\x1b[O", true, keys);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[0].source, TerminalKey::Source::focusIn);
  EXPECT_EQ(keys[1].source, TerminalKey::Source::focusOut);
}

}  // namespace
}  // namespace varlo
