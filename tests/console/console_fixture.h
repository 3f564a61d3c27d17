// A fresh headless console for each test: grey on black, whole-grid window,
// empty key queue.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "console/console.h"
#include "console/console_core.h"
#include "console/headless_front_end.h"

namespace varlo {

// Stdin replaced by a pipe for the test's life, as in a batch run; the
// headless front end reads keys from it.
class StdinPipe {
 public:
  StdinPipe() {
    int fds[2];
    EXPECT_EQ(pipe(fds), 0);
    saved_ = dup(0);
    dup2(fds[0], 0);
    close(fds[0]);
    writeEnd_ = fds[1];
    openHeadlessFrontEnd();
  }
  ~StdinPipe() {
    endInput();
    dup2(saved_, 0);
    close(saved_);
    openHeadlessFrontEnd();
  }
  void type(const std::string& bytes) {
    EXPECT_EQ(write(writeEnd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void endInput() {
    if (writeEnd_ >= 0) close(writeEnd_);
    writeEnd_ = -1;
  }

 private:
  int saved_ = -1;
  int writeEnd_ = -1;
};

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("VARLO_CONSOLE", "headless", 1);
    openConsole();
    flushKeyQueue();
    resetGrid(0x07);
    applyVideoSettings(VideoSettings{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}});
  }

  // One row of the screen dump (1-based, absolute).
  static std::string screenRow(int row) {
    std::string dump = screenDump();
    size_t start = 0;
    for (int r = 1; r < row; ++r) start = dump.find('\n', start) + 1;
    return dump.substr(start, dump.find('\n', start) - start);
  }
};

}  // namespace varlo
