#include "console_fixture.h"

namespace varlo {
namespace {

using HeadlessBatch = ConsoleTest;

TEST_F(HeadlessBatch, KeysComeFromStdinAsWindows1252WithEnterForLineEnds) {
  StdinPipe input;
  input.type("ol\xC3\xA1\r\nx\n");
  EXPECT_EQ(readLine(), "ol\xE1");
  EXPECT_EQ(readKey(), 'x');
  EXPECT_EQ(readKey(), key::Enter);

  // A character split between two reads arrives whole.
  input.type("a\xC3");
  EXPECT_EQ(readKey(), 'a');
  EXPECT_FALSE(keyPending());
  input.type("\xA7");
  EXPECT_EQ(readKey(), 0xE7);
  EXPECT_EQ(screenRow(1), "ol\xE1");
}

TEST_F(HeadlessBatch, EndOfInputGivesEscapeButIsNotAPendingKey) {
  StdinPipe input;
  input.type("z");
  input.endInput();
  EXPECT_EQ(readKey(), 'z');
  EXPECT_FALSE(keyPending());
  EXPECT_EQ(readKey(), key::Esc);
  EXPECT_EQ(readKey(), key::Esc);
}

// The run ends after 50 Esc keys handed out at the end of input; a key that
// arrives in between (a script pushing one) starts the count again.
TEST_F(HeadlessBatch, EndsTheProgramWhenEscapesAreIgnored) {
  auto run = [] {
    StdinPipe input;
    input.endInput();
    for (int i = 0; i < 30; ++i)
      if (readKey() != key::Esc) _exit(3);
    pushKey('k');
    if (readKey() != 'k') _exit(4);
    for (int i = 0; i < 50; ++i)
      if (readKey() != key::Esc) _exit(5);
    writeText("fim");
    readKey();
    _exit(6);
  };
  EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
}

TEST_F(HeadlessBatch, EchoMirrorsTheOutputAsUtf8) {
  setHeadlessEcho(true);
  ::testing::internal::CaptureStdout();
  writeText("Op\xE7\xE3o:\x07 \r\n12\b3\n");
  setHeadlessEcho(false);
  writeText("oculto");
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "Opção: \n123\n");
}

}  // namespace
}  // namespace varlo
