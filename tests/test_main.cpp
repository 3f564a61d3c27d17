// The main of every test program: GoogleTest's, with a guard against a
// test that ends the whole process before it is over (the program under
// test calling exit at the end of its input, say). ctest runs each test in
// a process of its own and reads only the exit status, so without the
// guard such a test would pass with status 0 however far it got.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string runningTest;   // empty between tests

struct EndGuard : ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& test) override {
    runningTest = std::string(test.test_suite_name()) + "." + test.name();
  }
  void OnTestEnd(const ::testing::TestInfo&) override { runningTest.clear(); }
};

// A death test's child is meant to end inside its test.
void endedInsideATest() {
  if (runningTest.empty() || ::testing::internal::InDeathTestChild()) return;
  std::fprintf(stderr, "The process ended inside %s, before the test was over.\n", runningTest.c_str());
  std::fflush(stderr);
  std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new EndGuard);
  std::atexit(endedInsideATest);
  return RUN_ALL_TESTS();
}
