// Window titles, the desktop's reachability and the wait for a window.
#include "script/desktop_windows.h"

#include <chrono>

#include "base/codepage.h"
#include "console/console.h"
#include "platform/accessibility.h"
#include "platform/desktop.h"
#include "script/interp.h"
#include "speech/speech.h"

namespace varlo {

namespace {

constexpr int kWindowPollMs = 500;

bool beginsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

const char* unreachableMessage(DesktopReach reach) {
  switch (reach) {
    case DesktopReach::noDisplay:
      return "Não há tela gráfica: a variável DISPLAY não está definida";
    case DesktopReach::wayland:
      return "Sessão Wayland: janelas, teclas e mouse de outros programas só são alcançados numa sessão X11";
    case DesktopReach::noAnswer:
      return "A tela gráfica não respondeu";
    case DesktopReach::ready:
      break;
  }
  return "";
}

}  // namespace

bool titleMatches(std::string_view title, std::string_view pattern) {
  std::string upperTitle = upperText(title);
  std::string wanted = upperText(pattern);
  std::string_view rest = wanted;
  bool atStart = !rest.empty() && rest.front() == '*';
  if (atStart) rest.remove_prefix(1);
  bool atEnd = !rest.empty() && rest.back() == '*';
  if (atEnd) rest.remove_suffix(1);
  if (!atStart && !atEnd) return upperTitle.find(rest) != std::string::npos;
  return (!atStart || beginsWith(upperTitle, rest)) && (!atEnd || endsWith(upperTitle, rest));
}

bool desktopReachable() {
  DesktopReach reach = reachDesktop();
  if (reach == DesktopReach::ready) return true;
  reportError(cp(unreachableMessage(reach)));
  setIoStatus(1);
  return false;
}

bool accessibilityReachable() {
  AccessibilityReach reach = reachAccessibility();
  if (reach == AccessibilityReach::ready) return true;
  reportError(cp(reach == AccessibilityReach::noBus
                     ? "Barramento de acessibilidade (AT-SPI) não disponível"
                     : "O barramento de acessibilidade (AT-SPI) não respondeu"));
  setIoStatus(1);
  return false;
}

bool waitForWindowTitle(int32_t seconds, std::string_view title) {
  if (!desktopReachable()) return false;
  std::string wanted = upperText(title);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int32_t line = currentScript().currentLine;
  for (;;) {
    std::string active = utf8ToCp1252(windowTitle(activeWindow()));
    if (!active.empty() && upperText(active).find(wanted) != std::string::npos) {
      setIoStatus(0);
      return true;
    }
    if (std::chrono::steady_clock::now() >= deadline) break;
    // Like every long wait of a command, Ctrl+F12 ends the script.
    pause(kWindowPollMs);
    stopOnInterruptKey(line);
  }
  setIoStatus(1);
  return false;
}

}  // namespace varlo
