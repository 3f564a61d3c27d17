// A growing file copied into a pipe: the copying thread reads what has been
// written since its last look and waits a few milliseconds when there is
// nothing new, until it is told the file is complete.
#include "platform/file_feed.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

namespace varlo {

namespace {

constexpr int kSliceMs = 10;

enum Phase { kFollowing, kComplete, kStopped };

}  // namespace

struct FileFeed {
  std::string path;
  int pipeFd = -1;
  size_t headBytes = 0;
  FeedHead head = nullptr;
  std::atomic<int> phase{kFollowing};
  std::atomic<bool> whole{false};
  std::thread thread;
};

namespace {

void waitSlice() { poll(nullptr, 0, kSliceMs); }

// All of the bytes, waiting while the pipe is full; false when the reader
// went away or the feed was stopped.
bool writeAll(FileFeed& feed, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = write(feed.pipeFd, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(size_t(n));
      continue;
    }
    if (n < 0 && errno != EINTR && errno != EAGAIN) return false;
    if (feed.phase == kStopped) return false;
    pollfd out{feed.pipeFd, POLLOUT, 0};
    poll(&out, 1, kSliceMs);
  }
  return true;
}

// The file, once it exists; -1 when the feed ends before it does.
int openWhenThere(FileFeed& feed) {
  for (;;) {
    bool complete = feed.phase != kFollowing;
    int fd = open(feed.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 || complete) return fd;
    waitSlice();
  }
}

// True when the whole file went in.
bool copyAsItGrows(FileFeed& feed, int fd) {
  std::string head;
  bool headSent = false;
  off_t offset = 0;
  char buffer[1 << 16];
  for (;;) {
    // What the writer wrote before saying the file is complete is all
    // there for the read that follows.
    bool complete = feed.phase == kComplete;
    if (feed.phase == kStopped) return false;
    ssize_t n = pread(fd, buffer, sizeof buffer, offset);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n > 0) {
      offset += n;
      std::string_view got(buffer, size_t(n));
      if (headSent) {
        if (!writeAll(feed, got)) return false;
        continue;
      }
      head.append(got);
      if (head.size() < feed.headBytes) continue;
      std::string replaced = feed.head(std::string_view(head).substr(0, feed.headBytes));
      if (replaced.empty() || !writeAll(feed, replaced + head.substr(feed.headBytes))) return false;
      headSent = true;
      continue;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || info.st_size < offset) return false;   // cut under us
    if (complete) return headSent;
    waitSlice();
  }
}

void follow(FileFeed* feed) {
  // A program that stops reading must not end this one with SIGPIPE.
  sigset_t pipeSignal;
  sigemptyset(&pipeSignal);
  sigaddset(&pipeSignal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
  int fd = openWhenThere(*feed);
  bool whole = fd >= 0 && copyAsItGrows(*feed, fd);
  if (fd >= 0) close(fd);
  feed->whole = whole;
  close(feed->pipeFd);
}

}  // namespace

FileFeed* startFileFeed(const std::string& path, int pipeFd, size_t headBytes, FeedHead head) {
  FileFeed* feed = new FileFeed;
  feed->path = path;
  feed->pipeFd = pipeFd;
  feed->headBytes = headBytes;
  feed->head = head;
  fcntl(pipeFd, F_SETFL, fcntl(pipeFd, F_GETFL) | O_NONBLOCK);
  feed->thread = std::thread(follow, feed);
  return feed;
}

void completeFileFeed(FileFeed* feed) {
  int following = kFollowing;
  feed->phase.compare_exchange_strong(following, kComplete);
}

bool endFileFeed(FileFeed* feed) {
  feed->phase = kStopped;
  feed->thread.join();
  bool whole = feed->whole;
  delete feed;
  return whole;
}

}  // namespace varlo
