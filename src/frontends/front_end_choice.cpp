// Choice of the front end for this run: the terminal unless the environment
// asks for none or there is no terminal.
#include "frontends/front_end_choice.h"

#include <cstdlib>
#include <cstring>

#include "console/headless_front_end.h"
#include "frontends/terminal_front_end.h"

namespace varlo {

namespace {

const FrontEnd* chooseFrontEnd() {
  const char* wanted = std::getenv("VARLO_CONSOLE");
  if (!wanted || std::strcmp(wanted, "headless") != 0) {
    if (const FrontEnd* terminal = openTerminalFrontEnd()) return terminal;
  }
  return openHeadlessFrontEnd();
}

}  // namespace

void useFrontEnd() { setFrontEndOpener(chooseFrontEnd); }

}  // namespace varlo
