// MENU and FORM: the scripts' option menus and data-entry forms, kept here
// while a script builds them and run through the console's widgets.
#include <algorithm>
#include <vector>

#include "console/colour_scheme.h"
#include "console/console.h"
#include "widgets/form.h"
#include "widgets/option_menu.h"
#include "script/cmd_operands.h"
#include "script/expr.h"
#include "script/interp.h"

namespace varlo {

namespace {

constexpr int kMenuColour = scheme::menu.background;

// The menu of MENU CRIA: its area and entries. Each EXECUTA opens it anew,
// so it can be run again until TERMINA.
struct ScriptMenu {
  bool open = false;
  int left = 1, top = 1, width = 1, rows = 1;
  std::vector<std::string> entries;
} scriptMenu;

std::string wordText() { return std::string(theToken.raw); }

bool createMenu() {
  int32_t n[4] = {};
  for (int i = 0; i < 4; ++i) {
    if (i > 0 && theToken.kind == tkComma) scan();
    if (theToken.kind == tkEnd || !readInteger(n[i], false)) {
      return failLine(cp("Esperava quatro expressões numéricas para o comando MENU CRIA"));
    }
  }
  int left = std::clamp(std::min(n[0], n[2]), 1, kColumns);
  int top = std::clamp(std::min(n[1], n[3]), 1, kRows);
  int right = std::clamp(std::max(n[0], n[2]), 1, kColumns);
  int bottom = std::clamp(std::max(n[1], n[3]), 1, kRows);
  scriptMenu = ScriptMenu{true, left, top, right - left + 1, bottom - top + 1, {}};
  return true;
}

bool menuExists() {
  return scriptMenu.open || failLine(cp("É necessário usar o comando MENU CRIA antes"));
}

// MENU EXECUTA item key text
bool runScriptMenu() {
  Lvalue item, key, text;
  item = parseLvalue();
  if (item.valid()) {
    if (theToken.kind == tkComma) scan();
    key = parseLvalue();
  }
  if (key.valid()) {
    if (theToken.kind == tkComma) scan();
    text = parseLvalue();
  }
  if (!text.valid()) return false;
  Operand start = readLvalue(item);
  Operand first = toInteger(start);
  MenuRun how{first.tag == Tag::integer && first.first > 0 ? first.first : 1, true};
  releaseValue(start);
  releaseValue(first);
  openMenu(scriptMenu.left, scriptMenu.top, scriptMenu.width, kMenuColour, scriptMenu.rows);
  for (const std::string& entry : scriptMenu.entries) addMenuEntry("", entry);
  MenuOutcome outcome = runMenuWith(how);
  return assignLvalue(item, integerValue(outcome.entry)) &&
         assignLvalue(key, stringValue(keyCodeText(outcome.byte, outcome.code))) &&
         assignLvalue(text, stringValue(selectedMenuText()));
}

}  // namespace

bool cmdMenu() {
  if (theToken.kind != tkIdentifier) return failLine(cp("Esperava uma opção para o comando MENU"));
  if (isWord("CRIA")) {
    scan();
    return createMenu();
  }
  if (isWord("ADICIONA")) {
    scan();
    if (!menuExists()) return false;
    std::string text;
    if (theToken.kind == tkEnd || !readString(text, false)) return failLine("Esperava uma cadeia");
    scriptMenu.entries.push_back(std::move(text));
    return true;
  }
  if (isWord("EXECUTA")) {
    scan();
    return menuExists() && runScriptMenu();
  }
  if (isWord("TERMINA")) {
    scan();
    scriptMenu = ScriptMenu{};
    return true;
  }
  return failLine(cp("Opção inválida para o comando MENU: ") + wordText());
}

namespace {

constexpr size_t kMaxScriptFields = 32;
constexpr int kMaxFieldWidth = 256;
constexpr size_t kMaxFieldText = 255;

struct ScriptField {
  std::string label;
  int width = kMaxFieldWidth;
  Lvalue target;
  // Where the target lived: a local belongs to the call that was running.
  const SymtbEntry* function = nullptr;
  int32_t frameBase = 0;
  std::string text;
  bool choice = false;
  std::string allowed;
};

struct ScriptForm {
  bool created = false;
  std::vector<ScriptField> fields;
} scriptForm;

std::string initialText(const Lvalue& target) {
  Operand v = readLvalue(target);
  std::string text = v.tag == Tag::invalid || v.tag == Tag::undefined ? std::string() : valueText(v);
  releaseValue(v);
  if (text.size() > kMaxFieldText) text.resize(kMaxFieldText);
  return text;
}

bool readChoices(ScriptField& field) {
  Operand list = evaluate(1);
  bool isList = list.tag == Tag::list;
  if (isList) {
    for (const Operand& cell : cellsOf(list)) {
      if (!field.allowed.empty()) field.allowed += '|';
      if (!isHole(cell)) appendValueText(field.allowed, cell);
    }
  }
  releaseValue(list);
  field.choice = true;
  return isList || failLine(cp("Esperava uma lista de opções"));
}

// FORM CAMPO label [TAMANHO n] var [LISTA list]
bool addScriptField() {
  if (!scriptForm.created) return failLine(cp("É necessário usar o comando FORM CRIA antes"));
  if (scriptForm.fields.size() >= kMaxScriptFields) {
    return failLine(cp("Número excessivo de campos no formulário"));
  }
  ScriptField field;
  if (theToken.kind == tkEnd || !readString(field.label, false)) return failLine("Esperava o nome do campo");
  if (isWord("TAMANHO")) {
    scan();
    int32_t width = 0;
    bool ok = theToken.kind != tkEnd && readInteger(width, false) && width > 0 && width <= kMaxFieldWidth;
    if (!ok) return failLine(cp("Tamanho inválido para o campo ") + field.label);
    field.width = width;
  }
  field.target = parseLvalue();
  if (!field.target.valid()) return false;
  field.function = field.target.entry->owner;
  field.frameBase = theInterp.frameBase;
  field.text = initialText(field.target);
  if (isWord("LISTA")) {
    scan();
    if (!readChoices(field)) return false;
  }
  scriptForm.fields.push_back(std::move(field));
  return true;
}

// A local of a call that has returned is no longer there to receive its text.
bool targetAlive(const ScriptField& field) {
  return !field.function ||
         (field.function == theInterp.currentFunction && field.frameBase == theInterp.frameBase);
}

bool runScriptForm(bool editable) {
  if (!scriptForm.created) return failLine(cp("É necessário usar o comando FORM CRIA antes"));
  ScriptForm form = std::move(scriptForm);
  scriptForm = ScriptForm{};
  beginForm();
  for (ScriptField& f : form.fields) {
    if (f.choice) addChoiceField("", f.label, f.text, f.allowed, f.width);
    else addTextField("", f.label, f.text, f.width);
  }
  runForm(editable);
  bool ok = true;
  for (ScriptField& f : form.fields) {
    if (ok && targetAlive(f)) ok = assignLvalue(f.target, stringValue(f.text));
  }
  return ok;
}

}  // namespace

bool cmdForm() {
  if (theToken.kind != tkIdentifier) return failLine("Esperava CRIA, CAMPO, EDITA ou VISUALIZA");
  if (isWord("CRIA")) {
    scan();
    scriptForm = ScriptForm{true, {}};
    return true;
  }
  if (isWord("CAMPO")) {
    scan();
    return addScriptField();
  }
  if (isWord("EDITA") || isWord("VISUALIZA")) {
    bool editable = isWord("EDITA");
    scan();
    return runScriptForm(editable);
  }
  return failLine(cp("O modificador ") + wordText() + cp(" não é aceito pelo comando FORM"));
}

void closeScriptMenuAndForm() {
  scriptMenu = ScriptMenu{};
  scriptForm = ScriptForm{};
}

}  // namespace varlo
