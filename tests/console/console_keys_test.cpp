#include <chrono>

#include "console_fixture.h"

namespace varlo {
namespace {

using KeyQueue = ConsoleTest;

void fillQueue(int bytes) {
  for (int i = 0; i < bytes; ++i) ASSERT_TRUE(queueKey('a', false));
}

TEST_F(KeyQueue, ExtendedKeyGoesInWholeOrNotAtAll) {
  fillQueue(63);
  EXPECT_FALSE(queueKey(key::Up, true));
  EXPECT_EQ(queuedKeyCount(), 63);
  EXPECT_TRUE(queueKey('b', false));
  EXPECT_FALSE(queueKey('c', false));
  pushKey('d');
  EXPECT_EQ(queuedKeyCount(), 64);
  for (int i = 0; i < 63; ++i) readKey();
  EXPECT_EQ(readKey(), 'b');   // nothing half-queued before it

  fillQueue(62);
  EXPECT_TRUE(queueKey(key::CtrlUp, true));
  EXPECT_EQ(queuedKeyCount(), 64);
  for (int i = 0; i < 62; ++i) readKey();
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), key::CtrlUp);
}

TEST_F(KeyQueue, PeekLooksWithoutTaking) {
  uint8_t first = 9, second = 9;
  peekKeys(first, second);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 0);
  pushKey('x');
  peekKeys(first, second);
  EXPECT_EQ(first, 'x');
  EXPECT_EQ(second, 0);
  queueKey(key::F5, true);
  peekKeys(first, second);
  EXPECT_EQ(first, 'x');
  EXPECT_EQ(second, 0);   // the 0 of the extended key
  EXPECT_EQ(queuedKeyCount(), 3);
  EXPECT_EQ(readKey(), 'x');
  peekKeys(first, second);
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, key::F5);
}

TEST_F(KeyQueue, InjectedKeysWaitForRoomInsteadOfBeingLost) {
  std::string typed;
  for (int i = 0; i < 150; ++i) typed += static_cast<char>('A' + i % 26);
  injectKeys(typed.substr(0, 100));
  injectExtendedKey(key::ShiftInsert);
  injectKeys(typed.substr(100));
  EXPECT_TRUE(keyPending());
  EXPECT_EQ(queuedKeyCount(), 64);
  std::string got;
  for (int i = 0; i < 100; ++i) got += static_cast<char>(readKey());
  EXPECT_EQ(readKey(), 0);
  EXPECT_EQ(readKey(), key::ShiftInsert);
  for (int i = 0; i < 50; ++i) got += static_cast<char>(readKey());
  EXPECT_EQ(got, typed);
  EXPECT_EQ(queuedKeyCount(), 0);
}

TEST(AltKeys, LettersAndDigits) {
  EXPECT_EQ(altKeyCode('A'), 30);
  EXPECT_EQ(altKeyCode('b'), 48);
  EXPECT_EQ(altKeyCode('M'), 50);
  EXPECT_EQ(altKeyCode('q'), 16);
  EXPECT_EQ(altKeyCode('Z'), 44);
  EXPECT_EQ(altKeyCode('0'), 129);
  EXPECT_EQ(altKeyCode('1'), 120);
  EXPECT_EQ(altKeyCode('9'), 128);
  EXPECT_EQ(altKeyCode('#'), 0);
  EXPECT_EQ(altKeyCode(0xE7), 0);
}

using LineInput = ConsoleTest;

TEST_F(LineInput, EchoesAndEditsTheLine) {
  writeText("Nome: ");
  injectKeys("Jos\xE9x\b!\x1b\t\r");
  EXPECT_EQ(readLine(), "Jos\xE9!");
  EXPECT_EQ(screenRow(1), "Nome: Jos\xE9!");
  EXPECT_EQ(cursorRow(), 2);
  EXPECT_EQ(cursorColumn(), 1);
}

TEST_F(LineInput, KeepsBufferSizeMinusTwoCharactersAndSkipsExtendedKeys) {
  injectKeys("abcdefgh\r");
  EXPECT_EQ(readLine(6), "abcd");
  EXPECT_EQ(screenRow(1), "abcd");

  injectKeys("x");
  injectExtendedKey(key::Up);     // its code is 'H'
  injectExtendedKey(key::Left);   // and this one 'K'
  injectKeys("\b\by\r");
  EXPECT_EQ(readLine(), "y");
  EXPECT_EQ(screenRow(2), "y");
}

// Hooks see every pump, also while a key read waits.
int hookCalls = 0;
void countingHook() { ++hookCalls; }
void typingHook() {
  if (++hookCalls == 5) injectKeys("k");
}
void reenteringHook() {
  ++hookCalls;
  pumpMessages();
}

using Pump = ConsoleTest;

TEST_F(Pump, HooksRunWhileWaitingForAKey) {
  StdinPipe input;   // input that has not ended: the read waits
  hookCalls = 0;
  setPumpHook(PumpHook::speech, typingHook);
  EXPECT_EQ(readKey(), 'k');
  EXPECT_EQ(hookCalls, 5);
  setPumpHook(PumpHook::speech, nullptr);

  hookCalls = 0;
  setPumpHook(PumpHook::wave, reenteringHook);
  pumpMessages();
  EXPECT_EQ(hookCalls, 1);
  setPumpHook(PumpHook::wave, nullptr);
  pumpMessages();
  EXPECT_EQ(hookCalls, 1);
}

TEST_F(Pump, PauseRunsItsWholeTimeAndKeepsKeys) {
  hookCalls = 0;
  setPumpHook(PumpHook::media, countingHook);
  injectKeys("p");
  auto start = std::chrono::steady_clock::now();
  pause(60);
  auto took = std::chrono::steady_clock::now() - start;
  setPumpHook(PumpHook::media, nullptr);
  EXPECT_GE(took, std::chrono::milliseconds(60));
  EXPECT_GE(hookCalls, 3);   // the hooks kept running in slices
  EXPECT_EQ(readKey(), 'p');
}

}  // namespace
}  // namespace varlo
