// Calls on the desktop that desktop_session_test.sh starts (skipped
// elsewhere): the wait for a window title (a title never shown times out
// with status 1, a window opened while waiting is found with status 0), and
// windows that are gone, which X answers with errors that must not end the
// program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

#include "platform/desktop.h"
#include "script/desktop_windows.h"
#include "script/script_fixture.h"

namespace varlo {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

class LiveDesktopTest : public test::ScriptTest {
 protected:
  void SetUp() override {
    if (!std::getenv("VARLO_DESKTOP_SESSION")) GTEST_SKIP() << "runs on the desktop of desktop_session_test.sh";
    test::ScriptTest::SetUp();
  }
};

TEST_F(LiveDesktopTest, ATitleNeverShownTimesOutWithStatusOne) {
  setIoStatus(0);
  Clock::time_point start = Clock::now();
  EXPECT_FALSE(waitForWindowTitle(3, "Nunca"));
  EXPECT_GE(secondsSince(start), 2.9);
  EXPECT_EQ(ioStatus(), 1);
}

TEST_F(LiveDesktopTest, AWindowOpenedWhileWaitingIsFound) {
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

TEST_F(LiveDesktopTest, AWindowThatIsGoneIsAnsweredWithoutHarm) {
  ASSERT_EQ(reachDesktop(), DesktopReach::ready);
  constexpr WindowId kGone = 0x3ffffff;
  for (WindowAction action : {WindowAction::close, WindowAction::normal, WindowAction::minimize})
    EXPECT_FALSE(actOnWindow(kGone, action));
  EXPECT_EQ(windowTitle(kGone), "");
  EXPECT_EQ(reachDesktop(), DesktopReach::ready);   // the connection outlived the errors
  EXPECT_TRUE(onScreen({0, 0}));
  EXPECT_FALSE(onScreen({-1, 0}));
  EXPECT_FALSE(onScreen({100000, 10}));
}

}  // namespace
}  // namespace varlo
