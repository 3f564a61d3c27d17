// LE: a line, a key, a list of lines or a JSON value from the keyboard or a
// descriptor into a variable.
#include "console/console.h"
#include "widgets/field_editor.h"
#include "speech/speech.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_json.h"
#include "script/cmd_operands.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo {

namespace {

constexpr int kLineLimit = 255;

struct ReadRequest {
  bool hasPrompt = false;
  std::string prompt;
  int descriptor = -1;
  bool edit = false, mute = false, password = false, upper = false;
  bool integer = false, list = false, json = false, key = false;
  bool hasTerminator = false;
  std::string terminator;
};

bool fromKeyboard(const ReadRequest& r) { return r.descriptor < 0; }

// A modifier word at the end of the statement is the variable itself.
bool modifier(std::string_view word) {
  if (!isWord(word)) return false;
  uint8_t next = nextTokenKind();
  return next != tkEnd && next != tkAmpersand;
}

void readModifiers(ReadRequest& r) {
  for (;; scan()) {
    if (modifier("EDITA")) r.edit = true;
    else if (modifier("MUDO")) r.mute = true;
    else if (modifier("SENHA")) r.password = true;
    else if (modifier("MAIUSC") || modifier("MAIUSCULA")) r.upper = true;
    else if (modifier("INTEIRO")) r.integer = true;
    else if (modifier("LISTA")) r.list = true;
    else if (modifier("JSON")) r.json = true;
    else return;
  }
}

bool checkModifiers(const ReadRequest& r) {
  if (r.integer && (r.list || r.json)) {
    return failLine(std::string("Modificadores ") + (r.list ? "INTEIRO e LISTA" : "INTEIRO e DICIONARIO") +
                cp(" conflitantes para o comando Lê"));
  }
  if (!fromKeyboard(r) && (r.mute || r.password || r.edit)) {
    return failLine(cp("Os modificadores MUDO, SENHA ou EDITA só se aplicam à leitura do teclado"));
  }
  return true;
}

// [prompt | #n] modifiers var [terminator] [&]
bool parseRequest(ReadRequest& r, Lvalue& target) {
  if (theToken.kind == tkString) {
    r.hasPrompt = true;
    r.prompt = theToken.text;
    scan();
  } else if (theToken.kind == tkHash) {
    r.descriptor = parseDescriptor();
    if (r.descriptor < 0) return false;
  }
  readModifiers(r);
  if (theToken.kind != tkIdentifier) return failLine(cp("Faltou a variável para leitura"));
  if (!checkModifiers(r)) return false;
  target = parseLvalue();
  if (!target.valid()) return false;
  if (r.list && theToken.kind != tkEnd && theToken.kind != tkAmpersand) {
    r.hasTerminator = readString(r.terminator);
    if (!r.hasTerminator) return false;
  }
  r.key = takeAmpersand();
  if (!fromKeyboard(r) && !descriptorSlot(r.descriptor).open) {
    return failLine(cp("Não há arquivo aberto associado ao descritor #") + std::to_string(r.descriptor));
  }
  return true;
}

// A line typed without echo or speech (a click tells that a key was
// taken, a beep that there is nothing to erase); Esc gives an empty line.
std::string readPassword() {
  bool sounds = !speechSilenced();
  std::string line;
  for (;;) {
    uint8_t c = readKey();
    if (c == 0) {
      readKey();
    } else if (c == key::Enter) {
      break;
    } else if (c == key::Esc) {
      line.clear();
      break;
    } else if (c == key::Backspace) {
      if (!line.empty()) line.pop_back();
      else if (sounds) beep();
    } else if (c >= 32 && line.size() < size_t(kLineLimit)) {
      line += char(c);
      if (sounds) click();
    }
  }
  writeText("\r\n");
  return line;
}

std::string keyboardLine(const ReadRequest& r, const Operand& current) {
  std::string line;
  if (r.password) {
    line = readPassword();
  } else if (r.mute) {
    line = readLine(kLineLimit + 2);
  } else if (r.edit) {
    if (current.tag != Tag::invalid && current.tag != Tag::undefined) line = valueText(current);
    if (line.size() > size_t(kLineLimit)) line.resize(size_t(kLineLimit));
    if (editFieldHere(line, cursorColumn(), cursorRow(), true, kLineLimit) == key::Esc) line.clear();
    writeText("\r\n");
  } else {
    readLineSpoken(line);
  }
  return line;
}

// A key as text: itself, "#" and the code of a control key, "#0#" and the
// second code of an extended key.
std::string keyText(bool mute) {
  uint8_t c = mute ? readKey() : readKeySpeak();
  return keyCodeText(c, c == 0 ? readKey() : 0);
}

bool endsList(const ReadRequest& r, const std::string& line) {
  return r.hasTerminator ? line == r.terminator : line.empty();
}

Operand keyboardList(const ReadRequest& r) {
  std::string notice = cp("Leitura de lista pelo teclado. ");
  notice += r.hasTerminator ? cp("Termine com uma linha contendo ") + r.terminator : cp("Termine com uma linha vazia.");
  printLine(notice);
  Operand list = newList();
  Operand none = undefinedValue();
  for (;;) {
    std::string line = keyboardLine(r, none);
    if (endsList(r, line)) break;
    listAppend(list, stringValue(std::move(line)));
  }
  printLine("Fim da leitura da lista");
  return list;
}

Operand keyboardJson(const ReadRequest& r) {
  printLine("Leitura de JSON. Termine com uma linha em branco.");
  std::string text;
  Operand none = undefinedValue();
  for (;;) {
    std::string line = keyboardLine(r, none);
    if (line.empty()) break;
    text += line;
    text += '\n';
  }
  printLine("Fim da leitura de JSON.");
  size_t at = 0;
  return readJson([&]() { return at < text.size() ? int(uint8_t(text[at++])) : -1; }, false);
}

Operand descriptorList(const ReadRequest& r) {
  Operand list = newList();
  std::string line;
  while (readDescriptorLine(r.descriptor, line) && !endsList(r, line)) {
    listAppend(list, stringValue(std::move(line)));
  }
  return list;
}

Operand descriptorJson(const ReadRequest& r) {
  std::string text;
  if (readDescriptorRest(r.descriptor, text)) {
    size_t at = 0;
    return readJson([&]() { return at < text.size() ? int(uint8_t(text[at++])) : -1; }, false);
  }
  int n = r.descriptor;
  return readJson([n]() {
    char c;
    return readDescriptorByte(n, c) ? int(uint8_t(c)) : -1;
  }, true);
}

Operand descriptorValue(const ReadRequest& r) {
  if (r.list) return descriptorList(r);
  if (r.json) return descriptorJson(r);
  std::string text;
  if (r.key) {
    char c;
    if (!readDescriptorByte(r.descriptor, c)) return invalidValue();
    return stringValue(std::string(1, c));
  }
  if (!readDescriptorLine(r.descriptor, text)) return invalidValue();
  return stringValue(std::move(text));
}

Operand keyboardValue(const ReadRequest& r, const Lvalue& target) {
  if (r.hasPrompt) printText(r.prompt);
  if (r.list) return keyboardList(r);
  if (r.json) return keyboardJson(r);
  if (r.key) return stringValue(keyText(r.mute));
  Operand current = r.edit ? readLvalue(target) : undefinedValue();
  std::string line = keyboardLine(r, current);
  releaseValue(current);
  return stringValue(std::move(line));
}

// MAIUSC and INTEIRO applied to a string read.
Operand converted(const ReadRequest& r, Operand&& v) {
  if (v.tag != Tag::string) return std::move(v);
  if (r.upper) textOf(v) = upperText(textOf(v));
  if (r.integer) {
    Operand n = toInteger(v);
    if (n.tag == Tag::integer) {
      releaseValue(v);
      return n;
    }
  }
  return std::move(v);
}

void upperElements(Operand& list) {
  for (Operand& cell : cellsOf(list)) {
    if (cell.tag == Tag::string) textOf(cell) = upperText(textOf(cell));
  }
}

// Esc goes on as well, so that no user is held at a prompt.
void waitForEnter() {
  for (uint8_t c = readKey(); c != key::Enter && c != key::Esc; c = readKey()) {
    if (c == 0) readKey();
  }
}

}  // namespace

bool cmdRead() {
  if (theToken.kind == tkEnd) {
    waitForEnter();
    return true;
  }
  ReadRequest r;
  Lvalue target;
  if (!parseRequest(r, target)) return false;
  Operand v = fromKeyboard(r) ? keyboardValue(r, target) : descriptorValue(r);
  if (!fromKeyboard(r)) setIoStatus(v.tag == Tag::invalid ? 1 : 0);
  if (v.tag == Tag::list && r.upper && !r.json) upperElements(v);
  v = converted(r, std::move(v));
  if (v.tag == Tag::invalid) {
    return failLine(cp("Erro de leitura; a variável ") + quoted(lvalueText(target)) + cp(" não foi alterada"));
  }
  return assignLvalue(target, std::move(v));
}

}  // namespace varlo
