// JANELA, ACIONA, DIGITA, CLICA, MOUSE (RATO) and CAPTURA: other programs'
// windows, the keyboard and the mouse of the desktop.
#include <optional>

#include "base/codepage.h"
#include "console/console.h"
#include "platform/accessibility.h"
#include "platform/desktop.h"
#include "platform/system_clipboard.h"
#include "script/cmd_operands.h"
#include "script/desktop_windows.h"
#include "script/interp.h"

namespace varlo {

namespace {

constexpr size_t kFieldLimit = 64 * 1024;
constexpr unsigned kCopySettleMs = 200;

struct Word {
  const char* name;
  int code;
};

// The modifier word at the current token among `words`: its code, or -1
// (the token is left where it is).
int modifierWord(std::initializer_list<Word> words) {
  for (const Word& word : words) {
    if (isWord(word.name)) {
      scan();
      return word.code;
    }
  }
  return -1;
}

// The first window, top of the stack down, whose title matches.
WindowId findWindow(std::string_view pattern) {
  for (const DesktopWindow& window : desktopWindows()) {
    if (titleMatches(utf8ToCp1252(window.title), pattern)) return window.id;
  }
  return 0;
}

// The key as written after ACIONA: a string expression, or the words and
// signs up to the end of the statement (ACIONA CTRL+SHIFT+F5).
std::string keyOperand() {
  if (theToken.kind == tkEnd) return std::string();
  if (theToken.kind != tkString) {
    TokenRec here = theToken;
    uint32_t start = theToken.tokenStart, stop = start;
    for (; theToken.kind != tkEnd; scan()) stop = theToken.current->end;   // a comment is left out
    std::string written;
    for (char c : theToken.lineText().substr(start, stop - start)) {
      if (c != ' ' && c != '\t') written += c;
    }
    std::string sequence = keySequenceFor(written);
    if (!sequence.empty()) return sequence;
    theToken = here;   // perhaps a variable holding the name
  }
  // Quietly: an unknown word is no key, whatever it would be as a value.
  bool reporting = theInterp.reportErrors;
  theInterp.reportErrors = false;
  std::string name;
  bool read = readString(name, false);
  theInterp.reportErrors = reporting;
  return read ? keySequenceFor(name) : std::string();
}

struct Click {
  int button = 1;
  int count = 1;
  bool screen = false;
};

// [DUPLO] [DIREITA] [NULO] [TELA] x y, the modifiers in any order (NULO,
// which only moves the mouse, where allowed), then the click.
bool clickFromOperands(bool allowNull, const char* badCoordinates) {
  Click click;
  for (;;) {
    if (isWord("DUPLO")) click.count = 2;
    else if (isWord("DIREITA")) click.button = 3;
    else if (isWord("TELA")) click.screen = true;
    else if (allowNull && isWord("NULO")) click.count = 0;
    else break;
    scan();
  }
  int32_t x = 0, y = 0;
  if (!readInteger(x, false) || !readInteger(y, false)) return failLine(cp(badCoordinates));
  if (!desktopReachable()) return true;
  std::optional<ScreenPoint> origin = click.screen ? ScreenPoint{0, 0} : activeWindowOrigin();
  ScreenPoint point{origin ? origin->x + x : 0, origin ? origin->y + y : 0};
  bool ok = origin && onScreen(point) && clickAt(point, click.button, click.count);
  setIoStatus(ok ? 0 : 1);
  return true;
}

bool storeText(const Lvalue& target, std::optional<std::string> text) {
  setIoStatus(text ? 0 : 1);
  return assignLvalue(target, stringValue(text ? std::move(*text) : std::string()));
}

// Home, Shift+End and Ctrl+Insert in the focused field, then the clipboard,
// emptied first so that an empty field does not give an older text.
std::optional<std::string> copiedField() {
  copyToSystemClipboard("");
  if (!pressKeys("Home") || !pressKeys("shift+End") || !pressKeys("ctrl+Insert")) return std::nullopt;
  pause(kCopySettleMs);
  return pasteFromSystemClipboard(kFieldLimit);
}

std::optional<std::string> activeTitle() {
  WindowId window = activeWindow();
  if (!window) return std::nullopt;
  return windowTitle(window);
}

std::optional<std::string> focusedText() {
  if (!accessibilityReachable()) return std::nullopt;
  return focusedControlText();
}

}  // namespace

// JANELA FECHA|NORMAL|MAXIMIZA|MINIMIZA title
bool cmdWindow() {
  if (theToken.kind != tkIdentifier) return failLine(cp("Esperava a opção para o comando JANELA"));
  std::string word = std::string(theToken.raw);
  int action = modifierWord({{"FECHA", int(WindowAction::close)}, {"NORMAL", int(WindowAction::normal)},
                             {"MAXIMIZA", int(WindowAction::maximize)},
                             {"MINIMIZA", int(WindowAction::minimize)}});
  if (action < 0) return failLine(cp("Opção inválida para o comando JANELA: ") + word);
  std::string pattern;
  if (!readString(pattern, false) || pattern.empty())
    return failLine(cp("Esperava uma cadeia com o título da janela"));
  if (!desktopReachable()) return true;
  WindowId window = findWindow(pattern);
  setIoStatus(window && actOnWindow(window, WindowAction(action)) ? 0 : 1);
  return true;
}

// ACIONA key
bool cmdPressKey() {
  std::string sequence = keyOperand();
  if (sequence.empty()) return failLine("Esperava o nome de uma tecla");
  if (!desktopReachable()) return true;
  setIoStatus(pressKeys(sequence) ? 0 : 1);
  return true;
}

// DIGITA text
bool cmdType() {
  std::string text;
  if (!readString(text, false)) return failLine("Esperava uma cadeia");
  if (!desktopReachable()) return true;
  setIoStatus(typeText(cp1252ToUtf8(text)) ? 0 : 1);
  return true;
}

// CLICA [DUPLO] [DIREITA] [NULO] [TELA] x y
bool cmdClick() {
  return clickFromOperands(true, "Esperava expressões numéricas para as coordenadas X e Y");
}

// MOUSE (RATO) CAPTURA x y | CLICA [DUPLO] [DIREITA] [TELA] x y
bool cmdMouse() {
  if (isWord("CLICA")) {
    scan();
    return clickFromOperands(false, "Esperava um valor inteiro");
  }
  if (!isWord("CAPTURA")) return failLine("Esperava CAPTURA ou CLICA para o comando MOUSE");
  scan();
  Lvalue x = parseLvalue();
  if (!x.valid()) return false;
  Lvalue y = parseLvalue();
  if (!y.valid()) return false;
  std::optional<ScreenPoint> where;
  if (desktopReachable()) {
    where = mousePosition();
    setIoStatus(where ? 0 : 1);
  }
  return assignLvalue(x, integerValue(where ? where->x : 0)) &&
         assignLvalue(y, integerValue(where ? where->y : 0));
}

// CAPTURA TITULO|ATIVA|FOCO|CAMPO var
bool cmdCapture() {
  if (theToken.kind != tkIdentifier) return failLine(cp("Esperava uma opção para o comando CAPTURA"));
  std::string word = std::string(theToken.raw);
  enum { kTitle, kFocus, kField };
  int option = modifierWord({{"TITULO", kTitle}, {"ATIVA", kTitle}, {"FOCO", kFocus}, {"CAMPO", kField}});
  if (option < 0) return failLine(cp("Opção inválida para o comando CAPTURA: ") + word);
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  std::optional<std::string> text;
  if (option == kFocus) text = focusedText();
  else if (desktopReachable()) text = option == kField ? copiedField() : activeTitle();
  if (text) text = utf8ToCp1252(*text);
  return storeText(target, std::move(text));
}

}  // namespace varlo
