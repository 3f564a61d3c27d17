// MSAA: following other programs' focus and value changes through the
// desktop's accessibility events.
#include "base/codepage.h"
#include "platform/accessibility.h"
#include "script/cmd_operands.h"
#include "script/desktop_windows.h"
#include "script/interp.h"

namespace varlo {

namespace {

struct FactWord {
  const char* name;
  AccessibleFact fact;
};

constexpr FactWord kFactWords[] = {
    {"AREA", AccessibleFact::area},         {"NOME", AccessibleFact::name},
    {"CODIGO", AccessibleFact::roleCode},   {"TIPO", AccessibleFact::roleName},
    {"ESTADO", AccessibleFact::states},     {"VALOR", AccessibleFact::value},
};

bool badModifier() {
  if (theToken.kind != tkIdentifier) return failLine("Esperava um modificador");
  return failLine(cp("Modificador inválido: ") + std::string(theToken.raw) + " para o comando MSAA");
}

bool checkEvents() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  bool arrived = newAccessibilityEvent();
  return assignLvalue(target, integerValue(arrived ? 1 : 0));
}

bool captureFact() {
  const FactWord* chosen = nullptr;
  for (const FactWord& word : kFactWords) {
    if (isWord(word.name)) chosen = &word;
  }
  if (!chosen) return badModifier();
  scan();
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  std::optional<std::string> fact = lastEventFact(chosen->fact);
  setIoStatus(fact ? 0 : 1);
  return assignLvalue(target, stringValue(fact ? utf8ToCp1252(*fact) : std::string()));
}

}  // namespace

// MSAA MONITORA | FIM | CHECA var | CAPTURA AREA|NOME|CODIGO|TIPO|ESTADO|VALOR var
bool cmdAccessibility() {
  if (isWord("FIM")) {
    scan();
    stopAccessibilityEvents();
    return true;
  }
  if (isWord("MONITORA")) {
    scan();
    if (accessibilityReachable()) setIoStatus(startAccessibilityEvents() ? 0 : 1);
    return true;
  }
  if (isWord("CHECA")) {
    scan();
    return checkEvents();
  }
  if (isWord("CAPTURA")) {
    scan();
    return captureFact();
  }
  return badModifier();
}

}  // namespace varlo
