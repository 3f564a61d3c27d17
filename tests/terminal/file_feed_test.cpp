// A file copied into a pipe while it is written: the head replaced, the rest
// in order, and a feed that breaks when the file is cut under it or its head
// is refused.
#include "platform/file_feed.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace varlo {
namespace {

namespace fs = std::filesystem;

std::string upperHead(std::string_view head) {
  std::string out(head);
  for (char& c : out) c = char(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string refuseHead(std::string_view) { return ""; }

class Feeds : public ::testing::Test {
 protected:
  fs::path file = fs::temp_directory_path() / ("varlo-feed-" + std::to_string(getpid()));
  int fds[2] = {-1, -1};

  void SetUp() override {
    fs::remove(file);
    ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  }
  void TearDown() override {
    if (fds[0] >= 0) close(fds[0]);
    fs::remove(file);
  }
  void append(const std::string& bytes) {
    std::ofstream(file, std::ios::binary | std::ios::app) << bytes;
  }
  // The next `count` bytes the pipe gives.
  std::string readSome(size_t count) {
    std::string got(count, '\0');
    for (size_t done = 0; done < count;) {
      ssize_t n = read(fds[0], got.data() + done, count - done);
      if (n <= 0) return got.substr(0, done);
      done += size_t(n);
    }
    return got;
  }
  // Everything the pipe gives until the feed closes it.
  std::string readAll() {
    std::string got;
    char buffer[4096];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) got.append(buffer, size_t(n));
    return got;
  }
};

TEST_F(Feeds, FileWrittenInStepsArrivesWholeWithItsHeadReplaced) {
  FileFeed* feed = startFileFeed(file.string(), fds[1], 4, upperHead);
  append("ab");   // the head comes in two writes
  usleep(30000);
  append("cd-1-");
  usleep(30000);
  std::string big(200000, 'x');   // more than the pipe holds at once
  append(big);
  completeFileFeed(feed);
  EXPECT_EQ(readAll(), "ABCD-1-" + big);
  EXPECT_TRUE(endFileFeed(feed));
}

TEST_F(Feeds, FileCutUnderTheFeedOrWithARefusedHeadBreaksIt) {
  FileFeed* feed = startFileFeed(file.string(), fds[1], 4, upperHead);
  append("abcdefgh");
  EXPECT_EQ(readSome(8), "ABCDefgh");
  fs::resize_file(file, 2);
  EXPECT_EQ(readAll(), "");
  EXPECT_FALSE(endFileFeed(feed));

  close(fds[0]);
  ASSERT_EQ(pipe2(fds, O_CLOEXEC), 0);
  feed = startFileFeed(file.string(), fds[1], 2, refuseHead);
  EXPECT_EQ(readAll(), "");
  EXPECT_FALSE(endFileFeed(feed));
}

TEST_F(Feeds, FileThatNeverCameOrStoppedFeedClosesThePipe) {
  FileFeed* feed = startFileFeed(file.string(), fds[1], 4, upperHead);
  completeFileFeed(feed);
  EXPECT_EQ(readAll(), "");
  EXPECT_FALSE(endFileFeed(feed));

  // Stopped while the reader does not read: the feed does not hang.
  int stalled[2];
  ASSERT_EQ(pipe2(stalled, O_CLOEXEC), 0);
  append(std::string(300000, 'y'));
  feed = startFileFeed(file.string(), stalled[1], 4, upperHead);
  usleep(50000);
  EXPECT_FALSE(endFileFeed(feed));
  close(stalled[0]);
}

}  // namespace
}  // namespace varlo
