// A call to another process that may never answer, waited for a limited time.
#include "platform/timed_call.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace varlo {

namespace {

struct Completion {
  std::mutex lock;
  std::condition_variable done;
  bool finished = false;
};

}  // namespace

bool runWithin(int limitMs, std::function<void()> work) {
  auto completion = std::make_shared<Completion>();
  std::thread helper([completion, work = std::move(work)] {
    work();
    std::lock_guard<std::mutex> hold(completion->lock);
    completion->finished = true;
    completion->done.notify_all();
  });
  std::unique_lock<std::mutex> hold(completion->lock);
  bool inTime = completion->done.wait_for(hold, std::chrono::milliseconds(limitMs),
                                          [&] { return completion->finished; });
  hold.unlock();
  if (inTime) helper.join();
  else helper.detach();
  return inTime;
}

}  // namespace varlo
