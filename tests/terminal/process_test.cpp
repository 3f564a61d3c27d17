#include "platform/process.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "console/console.h"
#include "platform/instance_lock.h"

namespace varlo {
namespace {

class Programs : public ::testing::Test {
 protected:
  // The console, once open, is what the waiting keeps pumping.
  void SetUp() override {
    setenv("VARLO_CONSOLE", "headless", 1);
    openConsole();
  }
};

TEST_F(Programs, CapturesOutputAndExitStatus) {
  std::string output;
  int status = runProgram({"sh", "-c", "echo sa\xC3\xAD" "da; echo erro >&2; exit 3"},
                          ProgramMode::background, &output);
  EXPECT_EQ(status, 3);
  EXPECT_EQ(output, "sa\xC3\xAD" "da\nerro\n");

  // Input comes from /dev/null: a program that reads does not hang.
  output.clear();
  EXPECT_EQ(runProgram({"sh", "-c", "read x; echo \"[$x]\""}, ProgramMode::background, &output), 0);
  EXPECT_EQ(output, "[]\n");

  EXPECT_EQ(runProgram({"sh", "-c", "kill -TERM $$"}, ProgramMode::background), 128 + 15);
}

TEST_F(Programs, DiscardedOutputNeverReachesTheConsole) {
  ::testing::internal::CaptureStdout();
  int status = runProgram({"sh", "-c", "echo rabisco; echo rabisco >&2"}, ProgramMode::background);
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(status, 0);
}

TEST_F(Programs, MissingProgramsAreReportedNotRun) {
  EXPECT_EQ(runProgram({"varlo-no-such-program"}, ProgramMode::background), -1);
  EXPECT_EQ(runProgram({"/nonexistent/lame"}, ProgramMode::terminal), -1);
  EXPECT_EQ(runProgram({}, ProgramMode::background), -1);
  EXPECT_EQ(openWithProgram("livro.txt", "/nonexistent/pagino"), -1);
  EXPECT_EQ(openWithProgram("livro.txt", "true"), 0);
  EXPECT_EQ(runProgram({"sh", "-c", "exit 7"}, ProgramMode::terminal), 7);
}

// Without a configured program: xdg-open on a desktop, a text browser on a
// text console.
TEST_F(Programs, PagesOpenWithXdgOpenOnADesktopElseATextBrowser) {
  namespace fs = std::filesystem;
  fs::path bin = fs::temp_directory_path() / ("varlo-open-" + std::to_string(getpid()));
  fs::create_directories(bin);
  for (const char* name : {"xdg-open", "lynx"}) {
    fs::path script = bin / name;
    std::ofstream(script) << "#!/bin/sh\necho " << name << " \"$1\" > " << (bin / "aberto").string() << "\n";
    fs::permissions(script, fs::perms::owner_all);
  }
  std::string savedPath = std::getenv("PATH");
  const char* display = std::getenv("DISPLAY");
  std::string savedDisplay = display ? display : "";
  setenv("PATH", (bin.string() + ":/usr/bin:/bin").c_str(), 1);
  auto opened = [&] {
    std::ifstream in(bin / "aberto");
    std::string line;
    std::getline(in, line);
    fs::remove(bin / "aberto");
    return line;
  };
  unsetenv("WAYLAND_DISPLAY");
  unsetenv("DISPLAY");
  EXPECT_EQ(openWithProgram("manual.htm", ""), 0);
  EXPECT_EQ(opened(), "lynx manual.htm");
  setenv("DISPLAY", ":0", 1);
  EXPECT_EQ(openWithProgram("manual.htm", ""), 0);
  EXPECT_EQ(opened(), "xdg-open manual.htm");
  setenv("PATH", savedPath.c_str(), 1);
  if (display) setenv("DISPLAY", savedDisplay.c_str(), 1);
  else unsetenv("DISPLAY");
  fs::remove_all(bin);
}

// Configured programs carry their own parameters; a path with blanks is quoted.
TEST(Commands, AreCutIntoTheProgramAndItsParameters) {
  using Words = std::vector<std::string>;
  EXPECT_EQ(splitCommand("  emacs   -nw "), (Words{"emacs", "-nw"}));
  EXPECT_EQ(splitCommand("\"/usr/bin/code\" -w"), (Words{"/usr/bin/code", "-w"}));
  EXPECT_EQ(splitCommand("\"/opt/meu editor/ed\" \"a b\"\tc"), (Words{"/opt/meu editor/ed", "a b", "c"}));
  EXPECT_EQ(splitCommand("/usr/bin/lame"), Words{"/usr/bin/lame"});
  EXPECT_EQ(splitCommand("x \"\""), (Words{"x", ""}));
  EXPECT_TRUE(splitCommand(" \t ").empty());
  EXPECT_EQ(splitCommand(quotedProgram("/opt/meu editor/ed")), Words{"/opt/meu editor/ed"});
  EXPECT_EQ(quotedProgram("/usr/bin/lame"), "/usr/bin/lame");
}

// A page opens with the configured program and its options, else with
// $BROWSER (its first program that exists, "%s" standing for the page)
// before xdg-open.
TEST_F(Programs, PagesOpenWithTheConfiguredOptionsOrBrowserVariable) {
  namespace fs = std::filesystem;
  fs::path bin = fs::temp_directory_path() / ("varlo-browser-" + std::to_string(getpid())) / "meus programas";
  fs::create_directories(bin);
  fs::path opened = bin.parent_path() / "aberto";
  for (const char* name : {"navegador", "xdg-open"}) {
    std::ofstream(bin / name) << "#!/bin/sh\necho " << name << " \"$@\" > \"" << opened.string() << "\"\n";
    fs::permissions(bin / name, fs::perms::owner_all);
  }
  auto openedLine = [&] {
    std::ifstream in(opened);
    std::string line;
    std::getline(in, line);
    fs::remove(opened);
    return line;
  };
  std::string savedPath = std::getenv("PATH");
  const char* display = std::getenv("DISPLAY");
  std::string savedDisplay = display ? display : "";
  const char* browser = std::getenv("BROWSER");
  std::string savedBrowser = browser ? browser : "";
  setenv("PATH", (bin.string() + ":/usr/bin:/bin").c_str(), 1);
  setenv("DISPLAY", ":0", 1);

  std::string quoted = "\"" + (bin / "navegador").string() + "\" --nova-janela";
  EXPECT_EQ(openWithProgram("manual.htm", quoted), 0);
  EXPECT_EQ(openedLine(), "navegador --nova-janela manual.htm");
  EXPECT_EQ(openWithProgram("manual.htm", "navegador -p"), 0);
  EXPECT_EQ(openedLine(), "navegador -p manual.htm");
  setenv("BROWSER", "varlo-nenhum:navegador --abrir=%s --fim", 1);
  EXPECT_EQ(openWithProgram("manual.htm", ""), 0);
  EXPECT_EQ(openedLine(), "navegador --abrir=manual.htm --fim");
  setenv("BROWSER", "varlo-nenhum", 1);
  EXPECT_EQ(openWithProgram("manual.htm", ""), 0);
  EXPECT_EQ(openedLine(), "xdg-open manual.htm");

  setenv("PATH", savedPath.c_str(), 1);
  if (display) setenv("DISPLAY", savedDisplay.c_str(), 1);
  else unsetenv("DISPLAY");
  if (browser) setenv("BROWSER", savedBrowser.c_str(), 1);
  else unsetenv("BROWSER");
  fs::remove_all(bin.parent_path());
}

int pumps = 0;
void countPumps() { ++pumps; }

TEST_F(Programs, WaitingKeepsPumpingAndDoesNotWaitForGrandchildren) {
  pumps = 0;
  setPumpHook(PumpHook::wave, countPumps);
  std::string output;
  auto start = std::chrono::steady_clock::now();
  // The background sleep keeps the output pipe open after its parent ended.
  EXPECT_EQ(runProgram({"sh", "-c", "sleep 0.2; (sleep 20 &); echo feito"}, ProgramMode::background,
                       &output),
            0);
  setPumpHook(PumpHook::wave, nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_EQ(output, "feito\n");
  EXPECT_GE(pumps, 5);
}

TEST_F(Programs, LimitedProgramsGetInputAndAreEndedWhenTheyHangOrFlood) {
  std::string output;
  EXPECT_EQ(runProgramLimited({"sh", "-c", "cat; echo erro >&2"}, "entrada\n", &output, 5000, 100), 0);
  EXPECT_EQ(output, "entrada\n");   // the errors stay out of the data
  EXPECT_EQ(runProgramLimited({"sleep", "30"}, "", nullptr, 100, 0), kProgramOverran);
  output.clear();
  EXPECT_EQ(runProgramLimited({"yes"}, "", &output, 5000, 1000), kProgramOverran);
  EXPECT_GT(output.size(), 1000u);
  EXPECT_EQ(runProgramLimited({"/nonexistent/tool"}, "", nullptr, 100, 0), -1);
  // A wrapper script that hangs in a program it started: that one ends too.
  output.clear();
  EXPECT_EQ(runProgramLimited({"sh", "-c", "sleep 30 & echo $!; wait"}, "", &output, 300, 100),
            kProgramOverran);
  pid_t started = std::atoi(output.c_str());
  ASSERT_GT(started, 0) << output;
  auto gone = [&] {
    std::ifstream stat("/proc/" + std::to_string(started) + "/stat");
    std::string pid, name, state;
    return !(stat >> pid >> name >> state) || state == "Z";
  };
  auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!gone() && std::chrono::steady_clock::now() < until) usleep(10000);
  EXPECT_TRUE(gone()) << "the program the script started still runs";
}

TEST(FindProgram, SearchesThePath) {
  std::string sh = findProgram("sh");
  ASSERT_FALSE(sh.empty());
  EXPECT_EQ(sh.substr(sh.size() - 3), "/sh");
  EXPECT_EQ(findProgram("/bin/sh"), "/bin/sh");
  EXPECT_EQ(findProgram("/etc/passwd"), "");   // not executable
  EXPECT_EQ(findProgram("varlo-no-such-program"), "");
  EXPECT_EQ(findProgram(""), "");
}

// Each check of another process runs in a child of its own.
bool acquiredInAnotherProcess(const char* name) {
  pid_t pid = fork();
  if (pid == 0) _exit(acquireInstanceLock(name) ? 0 : 1);
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(InstanceLock, ASecondInstanceIsRefused) {
  auto dir = std::filesystem::temp_directory_path() / ("varlo-lock-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);

  EXPECT_TRUE(acquiredInAnotherProcess("varlo"));   // its holder ended: free again
  EXPECT_TRUE(acquireInstanceLock("varlo"));
  EXPECT_FALSE(acquiredInAnotherProcess("varlo"));
  EXPECT_TRUE(acquiredInAnotherProcess("outro"));
  EXPECT_TRUE(acquireInstanceLock("a/b"));
  EXPECT_TRUE(std::filesystem::exists(dir / "varlo-a_b.lock"));

  unsetenv("XDG_RUNTIME_DIR");
  std::filesystem::remove_all(dir);
}

// Another local user cannot keep the program from starting by making and
// holding its lock file.
TEST(InstanceLock, ALockFileOfAnotherUserIsIgnored) {
  if (geteuid() != 0) GTEST_SKIP() << "needs to give a file to another user";
  auto dir = std::filesystem::temp_directory_path() / ("varlo-lock-other-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  std::string planted = (dir / "varlo-varlo.lock").string();
  int fd = open(planted.c_str(), O_RDWR | O_CREAT, 0666);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(fchown(fd, 4321, 4321), 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(acquiredInAnotherProcess("varlo"));
  close(fd);

  // Without a runtime directory the name in /tmp carries the user id.
  unsetenv("XDG_RUNTIME_DIR");
  std::string name = "teste-" + std::to_string(getpid());
  std::string shared = "/tmp/varlo-" + std::to_string(geteuid()) + "-" + name + ".lock";
  EXPECT_TRUE(acquiredInAnotherProcess(name.c_str()));
  EXPECT_TRUE(std::filesystem::exists(shared));
  std::filesystem::remove(shared);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace varlo
