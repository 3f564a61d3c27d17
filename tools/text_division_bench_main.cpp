// Divides one text the way `varlo livro.txt` does (every LINES lines, the
// parts beside it) and prints "seconds peak_rss_kb": how the division's
// time and memory grow with the book.
//   text-division-bench DIR FILE LINES
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "console/console.h"
#include "shell/app_state.h"
#include "shell/text_division_dialog.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: text-division-bench DIR FILE LINES\n");
    return 2;
  }
  std::filesystem::current_path(argv[1]);
  varlo::openConsole();
  varlo::AppState& s = varlo::appState();
  s.commandLineMode = true;
  s.projectDirectory = argv[1];
  s.selection = {argv[2]};
  s.linesPerPart = std::atoi(argv[3]);
  auto start = std::chrono::steady_clock::now();
  varlo::divideFile();
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.3f %ld\n", took.count(), usage.ru_maxrss);
  return 0;
}
