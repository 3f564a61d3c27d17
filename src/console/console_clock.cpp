// The system clock as the console hands it out: local date and time.
#include <sys/time.h>

#include <ctime>

#include "console/console.h"

namespace varlo {

namespace {

struct LocalNow {
  std::tm tm{};
  int hundredths = 0;
};

LocalNow localNow() {
  LocalNow now;
  timeval tv{};
  gettimeofday(&tv, nullptr);
  time_t seconds = tv.tv_sec;
  localtime_r(&seconds, &now.tm);
  now.hundredths = static_cast<int>(tv.tv_usec / 10000);
  return now;
}

}  // namespace

Date currentDate() {
  std::tm tm = localNow().tm;
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_wday};
}

Time currentTime() {
  LocalNow now = localNow();
  return {now.tm.tm_hour, now.tm.tm_min, now.tm.tm_sec, now.hundredths};
}

}  // namespace varlo
