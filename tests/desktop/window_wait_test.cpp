// The wait for a window title, on the desktop that desktop_session_test.sh
// starts (skipped elsewhere): a title never shown times out with status 1, a
// window opened while waiting is found with status 0.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "script/desktop_windows.h"
#include "script/script_fixture.h"

namespace varlo {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class WindowWaitTest : public test::ScriptTest {
 protected:
  void SetUp() override {
    if (!std::getenv("VARLO_DESKTOP_SESSION")) GTEST_SKIP() << "runs on the desktop of desktop_session_test.sh";
    test::ScriptTest::SetUp();
  }
};

TEST_F(WindowWaitTest, ATitleNeverShownTimesOutWithStatusOne) {
  setIoStatus(0);
  Clock::time_point start = Clock::now();
  EXPECT_FALSE(waitForWindowTitle(3, "Nunca"));
  EXPECT_GE(secondsSince(start), 2.9);
  EXPECT_EQ(ioStatus(), 1);
}

TEST_F(WindowWaitTest, AWindowOpenedWhileWaitingIsFound) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    sleep(1);
    execlp("xmessage", "xmessage", "-title", "Novo documento", "novo", static_cast<char*>(nullptr));
    _exit(127);
  }
  setIoStatus(1);
  Clock::time_point start = Clock::now();
  bool found = waitForWindowTitle(5, cp("NOVO"));
  double waited = secondsSince(start);
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  EXPECT_TRUE(found);
  EXPECT_GE(waited, 0.9);
  EXPECT_EQ(ioStatus(), found ? 0 : 1);
}

}  // namespace
}  // namespace varlo
