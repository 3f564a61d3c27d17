// Shift, Ctrl and Alt travel with each key from the terminal to the reader,
// so the editor can select with Shift and name letters with Alt.
#include <gtest/gtest.h>

#include "console/console.h"
#include "frontends/terminal_keys.h"

using namespace varlo;

namespace {

std::vector<TerminalKey> decode(std::string_view bytes) {
  std::vector<TerminalKey> keys;
  decodeTerminalInput(bytes, true, keys);
  return keys;
}

}  // namespace

TEST(KeyModifiers, DecoderReportsWhatWasHeld) {
  auto shiftRight = decode("\x1b[1;2C");
  ASSERT_EQ(shiftRight.size(), 1u);
  EXPECT_EQ(shiftRight[0].code, key::Right);
  EXPECT_EQ(shiftRight[0].modifiers, keymod::shift);

  auto altRight = decode("\x1b[1;3C");
  ASSERT_EQ(altRight.size(), 1u);
  EXPECT_EQ(altRight[0].code, key::Right);
  EXPECT_EQ(altRight[0].modifiers, keymod::alt);

  auto ctrlShiftEnd = decode("\x1b[1;6F");
  ASSERT_EQ(ctrlShiftEnd.size(), 1u);
  EXPECT_EQ(ctrlShiftEnd[0].code, key::CtrlEnd);
  EXPECT_EQ(ctrlShiftEnd[0].modifiers, keymod::shift | keymod::ctrl);

  auto shiftF5 = decode("\x1b[15;2~");
  ASSERT_EQ(shiftF5.size(), 1u);
  EXPECT_EQ(shiftF5[0].code, key::F5);
  EXPECT_EQ(shiftF5[0].modifiers, keymod::shift);

  auto altX = decode("\x1bx");
  ASSERT_EQ(altX.size(), 1u);
  EXPECT_EQ(altX[0].modifiers, keymod::alt);

  auto plain = decode("a\x1b[C");
  ASSERT_EQ(plain.size(), 2u);
  EXPECT_EQ(plain[0].modifiers, 0);
  EXPECT_EQ(plain[1].modifiers, 0);
}

TEST(KeyModifiers, QueueKeepsThemWithEachKeyRead) {
  flushKeyQueue();
  ASSERT_TRUE(queueKey(key::Right, true, keymod::shift));
  ASSERT_TRUE(queueKey('a', false));
  ASSERT_TRUE(queueKey(key::Delete, true, keymod::shift));
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(keyModifiers(), keymod::shift);
  EXPECT_EQ(readKey(), key::Right);
  EXPECT_EQ(keyModifiers(), keymod::shift);
  EXPECT_EQ(readKey(), 'a');
  EXPECT_EQ(keyModifiers(), 0);
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), key::Delete);
  EXPECT_EQ(keyModifiers(), keymod::shift);

  injectExtendedKey(key::Right, keymod::alt);
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), key::Right);
  EXPECT_EQ(keyModifiers(), keymod::alt);
}
