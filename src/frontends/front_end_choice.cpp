// Choice of the front end for this run: the window when the environment or
// the settings ask for it and a display is there, else the terminal unless
// the environment asks for none or there is no terminal.
#include "frontends/front_end_choice.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/codepage.h"
#include "base/config.h"
#include "console/headless_front_end.h"
#include "frontends/terminal_front_end.h"
#include "frontends/window_front_end.h"

namespace varlo {

namespace {

bool envIs(const char* name, const char* value) {
  const char* set = std::getenv(name);
  return set && std::strcmp(set, value) == 0;
}

// VARLO_CONSOLE=window, or [VIDEO] JANELA=SIM when VARLO_CONSOLE names no
// other front end.
bool windowWanted() {
  if (envIs("VARLO_CONSOLE", "window")) return true;
  if (std::getenv("VARLO_CONSOLE")) return false;
  std::string value = readRawSetting("VIDEO", "JANELA");
  return !value.empty() && std::toupper(static_cast<unsigned char>(value[0])) == 'S';
}

bool displayPresent() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

// The window, or null after saying why it could not open.
const FrontEnd* tryWindow() {
  std::string reason = displayPresent() ? "" : "não há tela gráfica";
  const FrontEnd* window = reason.empty() ? openWindowFrontEnd(reason) : nullptr;
  if (window) return window;
  std::string text = "Não foi possível abrir a janela do console (" + reason + "). Uso o terminal.";
  std::fprintf(stderr, "%s\n", text.c_str());
  announce(utf8ToCp1252(text));
  return nullptr;
}

const FrontEnd* chooseFrontEnd() {
  if (windowWanted()) {
    if (const FrontEnd* window = tryWindow()) return window;
  }
  if (!envIs("VARLO_CONSOLE", "headless")) {
    if (const FrontEnd* terminal = openTerminalFrontEnd()) return terminal;
  }
  return openHeadlessFrontEnd();
}

}  // namespace

void useFrontEnd() { setFrontEndOpener(chooseFrontEnd); }

}  // namespace varlo
