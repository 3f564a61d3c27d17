// Life of the console window: creation on first use with the [VIDEO]
// settings and the front end chosen for this run, the title, the end of the
// program, and handing the terminal to other programs.
#include <unistd.h>

#include <cstdlib>
#include <utility>

#include "console/console_core.h"
#include "base/codepage.h"
#include "base/config.h"
#include "console/braille_keyboard.h"
#include "console/headless_front_end.h"
#include "platform/process.h"

namespace varlo {

namespace {

constexpr size_t kTitleLimit = 140;

struct Window {
  bool created = false;
  const FrontEnd* frontEnd = nullptr;
  const FrontEnd* (*openFrontEnd)() = openHeadlessFrontEnd;
  std::string title;
  std::string announcement;
} window;

// [BRAILLE] MODO: the low two bits of its first character.
int brailleModeSetting() {
  std::string value = readRawSetting("BRAILLE", "MODO");
  return value.empty() ? 0 : static_cast<unsigned char>(value[0]) & 3;
}

// The title the window starts with: the program file's full path.
std::string programPath() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? utf8ToCp1252(std::string_view(path, static_cast<size_t>(n))) : "VARLO KET";
}

void restoreAtExit() { restoreTerminal(); }

}  // namespace

void setFrontEndOpener(const FrontEnd* (*open)()) { window.openFrontEnd = open; }

void openConsole() {
  if (window.created) return;
  window.created = true;
  VideoSettings settings = readVideoSettings();
  applyVideoSettings(settings);
  resetGrid(settings.startAttribute);
  window.title = programPath();
  window.frontEnd = window.openFrontEnd();
  setProgramWaitHooks({pumpMessages, suspendTerminal, resumeTerminal});
  std::atexit(restoreAtExit);
  window.frontEnd->titleChanged();
  window.frontEnd->refresh();
  if (int mode = brailleModeSetting()) setBrailleMode(mode);
}

void setWindowMinimized(bool minimized) {
  const FrontEnd& fe = frontEnd();
  if (fe.setMinimized) fe.setMinimized(minimized);
}

void announce(std::string_view text) { window.announcement = text; }

std::string takeAnnouncement() { return std::exchange(window.announcement, {}); }

std::string displayNotice() {
  const char* notice = window.frontEnd && window.frontEnd->displayNotice
                           ? window.frontEnd->displayNotice() : nullptr;
  return notice ? notice : "";
}

const FrontEnd& frontEnd() {
  openConsole();
  return *window.frontEnd;
}

void closeConsole(int exitStatus) {
  flushKeyQueue();
  restoreTerminal();
  std::exit(exitStatus);
}

void restoreTerminal() {
  if (window.frontEnd) window.frontEnd->restore();
}

void suspendTerminal() {
  if (window.frontEnd) window.frontEnd->suspend();
}

void resumeTerminal() {
  if (window.frontEnd) window.frontEnd->resume();
}

void setTitle(std::string_view text) {
  const FrontEnd& fe = frontEnd();
  size_t first = text.find_first_not_of(" \t");
  size_t last = text.find_last_not_of(" \t");
  window.title = first == std::string_view::npos ? "" : text.substr(first, last - first + 1);
  if (window.title.size() > kTitleLimit) window.title = window.title.substr(0, kTitleLimit) + "...";
  fe.titleChanged();
}

std::string windowTitle() {
  openConsole();
  return window.title;
}

}  // namespace varlo
