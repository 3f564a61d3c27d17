// Braille chords typed on F D S J K L and Space: the cells, the control
// codes of Space chords, mode 2's capital and number signs, and the tones.
#include "console/braille_keyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/console.h"

namespace varlo {
namespace {

// Presses the keys together, then releases them in the same order.
void chord(std::string_view keys) {
  for (char k : keys) EXPECT_TRUE(brailleKeyDown(k, false)) << k;
  for (char k : keys) EXPECT_TRUE(brailleKeyUp(k, false)) << k;
}

std::string typed() {
  std::string out;
  while (queuedKeyCount() > 0) out += static_cast<char>(readKey());
  return out;
}

std::vector<int> tones;

class BrailleKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    setBrailleToneHooks(nullptr, nullptr);
    setBrailleMode(0);
    flushKeyQueue();
    tones.clear();
  }
  void TearDown() override {
    setBrailleToneHooks(nullptr, nullptr);
    setBrailleMode(0);
  }
};

TEST_F(BrailleKeyboard, ModeOneTypesTheCellsCharacters) {
  setBrailleMode(1);
  chord("F");      // dot 1
  chord("FD");     // dots 1 2
  chord("SJKL");   // dots 3 4 5 6: the number sign, typed as it is
  chord("FDSJKL");
  chord(" ");
  EXPECT_EQ(typed(), std::string("ab#\xE9 "));
}

TEST_F(BrailleKeyboard, KeysReleasedOneByOneMakeOneChord) {
  setBrailleMode(1);
  EXPECT_TRUE(brailleKeyDown('F', false));
  EXPECT_TRUE(brailleKeyDown('J', false));
  EXPECT_TRUE(brailleKeyUp('F', false));
  EXPECT_EQ(queuedKeyCount(), 0) << "a key is still held";
  EXPECT_TRUE(brailleKeyUp('J', false));
  EXPECT_EQ(typed(), "c");
}

TEST_F(BrailleKeyboard, OnlyTheSevenKeysAreDots) {
  setBrailleMode(1);
  EXPECT_FALSE(brailleKeyDown('A', false));
  EXPECT_FALSE(brailleKeyDown('1', false));
  EXPECT_FALSE(brailleKeyDown('F', true)) << "Ctrl+F is no dot";
  // Releasing another letter with nothing pressed types the empty cell.
  EXPECT_TRUE(brailleKeyUp('Q', false));
  EXPECT_EQ(typed(), " ");
  EXPECT_FALSE(brailleKeyUp('1', false));
  EXPECT_FALSE(brailleKeyUp('F', true));
}

TEST_F(BrailleKeyboard, SpaceWithDotsGivesControlCodes) {
  setBrailleMode(2);
  chord(" FD");    // the cell of b: Ctrl+B
  chord(" FJ");    // the cell of c: Ctrl+C
  EXPECT_EQ(typed(), std::string("\x02\x03"));
  // The cell of a-grave masks to 0, which would start an extended key.
  chord(" FDJL");
  EXPECT_EQ(queuedKeyCount(), 0);
}

TEST_F(BrailleKeyboard, NumberSignTurnsLettersIntoDigits) {
  setBrailleMode(2);
  chord("SJKL");
  chord("F");
  chord("FD");
  chord("DJK");    // j: 0
  chord("K");      // ~ ends the numbers and is typed
  chord("F");
  EXPECT_EQ(typed(), "120~a");
}

TEST_F(BrailleKeyboard, CapitalSignsRaiseOneLetterOrLockThem) {
  setBrailleMode(2);
  chord("JL");     // capital sign
  chord("F");
  chord("F");
  EXPECT_EQ(typed(), "Aa");
  chord("JL");
  chord("JL");     // twice: capitals lock
  chord("F");
  chord("FD");
  EXPECT_EQ(typed(), "AB");
  chord(" FD");    // a control chord ends the lock
  chord("F");
  EXPECT_EQ(typed(), std::string("\x02") + "a");
}

TEST_F(BrailleKeyboard, ModeTwoReadsPointAndAt) {
  setBrailleMode(2);
  chord("S");        // ' is the full stop
  chord("FKL");      // û is @
  EXPECT_EQ(typed(), ".@");
}

TEST_F(BrailleKeyboard, ModesAreSaidWithTones) {
  setBrailleToneHooks([](int f) { tones.push_back(f); }, [] {});
  setBrailleMode(2);
  EXPECT_EQ(tones, (std::vector<int>{800, 400}));
  tones.clear();
  setBrailleMode(7);   // above 2: mode 1
  EXPECT_EQ(brailleMode(), 1);
  EXPECT_EQ(tones, (std::vector<int>{800, 1600}));
  tones.clear();
  setBrailleMode(0);
  setBrailleMode(0);   // already off: silent
  EXPECT_EQ(tones, (std::vector<int>{100}));
}

TEST_F(BrailleKeyboard, TurningItOffForgetsAHalfTypedChord) {
  setBrailleMode(1);
  brailleKeyDown('F', false);
  setBrailleMode(0);
  setBrailleMode(1);
  chord("D");
  EXPECT_EQ(typed(), ",");
}

}  // namespace
}  // namespace varlo
