// ESCREVE, FALA and SOLETRA: values written on the console or a descriptor,
// spoken or spelled.
#include <cstdlib>

#include "speech/speech.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_operands.h"
#include "script/expr.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo {

namespace {

bool endsItems() {
  return theToken.kind == tkEnd || theToken.kind == tkAmpersand;
}

void pad(std::string& text, int32_t width) {
  size_t wanted = size_t(std::abs(int64_t(width)));
  if (text.size() >= wanted || !fitsLimits(0, wanted)) return;
  std::string blanks(wanted - text.size(), ' ');
  text = width > 0 ? text + blanks : blanks + text;
}

// Items: expression [: width] {, expression [: width]}; a comma adds one
// blank. False at an invalid item (reported with invalidMessage when it is
// given, the rest of the line skipped).
bool collectItems(std::string& out, const char* invalidMessage) {
  if (endsItems()) return true;
  for (;;) {
    Operand v = evaluate(1);
    if (v.tag == Tag::invalid && invalidMessage) return failLine(cp(invalidMessage));
    std::string text = valueText(v);
    releaseValue(v);
    if (theToken.kind == tkColon) {
      scan();
      Operand width = evaluateAs(Tag::integer);
      if (width.tag == Tag::integer) pad(text, width.first);
      releaseValue(width);
    }
    out += text;
    if (theToken.kind != tkComma) return true;
    scan();
    out += ' ';
  }
}

// Where ESCREVE sends its text.
struct Destination {
  int descriptor = -1;
  bool silent = false;
};

bool emit(const Destination& to, std::string_view text, bool lineBreak) {
  if (to.descriptor >= 0) {
    bool ok = writeToDescriptor(to.descriptor, text, lineBreak);
    setIoStatus(ok ? 0 : 1);
    if (!descriptorSlot(to.descriptor).open) {
      return failLine("Erro no processamento do arquivo #" + std::to_string(to.descriptor));
    }
    return true;
  }
  if (to.silent) printSilent(text, lineBreak);
  else if (lineBreak) printLine(text);
  else printText(text);
  return true;
}

// ESCREVE LISTA list [separator]
bool writeList(const Destination& to) {
  Operand list = evaluate(1);
  if (list.tag != Tag::list) {
    releaseValue(list);
    return failLine("Esperava uma lista para ser escrita");
  }
  Operand separator = undefinedValue();
  if (theToken.kind != tkEnd) separator = evaluate(1);
  bool ok = true;
  if (separator.tag == Tag::undefined) {
    for (const Operand& cell : cellsOf(list)) {
      if (!ok) break;
      ok = emit(to, isHole(cell) ? std::string("?") : valueText(cell), true);
    }
  } else if (separator.tag != Tag::string) {
    ok = failLine("Esperava uma cadeia como separador");
  } else {
    std::string line;
    bool first = true;
    for (const Operand& cell : cellsOf(list)) {
      if (!first) line += textOf(separator);
      first = false;
      if (!isHole(cell)) appendValueText(line, cell);
      else line += '?';
    }
    ok = emit(to, line, true);
  }
  releaseValue(list);
  releaseValue(separator);
  return ok;
}

// LISTA starts the list form unless it is a variable being written alone.
bool listForm() {
  if (!isWord("LISTA")) return false;
  uint8_t next = nextTokenKind();
  return next != tkEnd && next != tkComma && next != tkColon && next != tkAmpersand &&
         next != tkOperator && next != tkDot;
}

bool speakItems(bool spelled) {
  std::string text;
  collectItems(text, "Expressão inválida para o comando FALA");
  bool wait = !takeAmpersand();
  if (speechSilenced()) return true;
  if (text.empty()) stopSpeech();
  else if (spelled) spell(text);
  else speak(text);
  if (wait) waitSpeech();
  return true;
}

}  // namespace

bool cmdWrite() {
  Destination to;
  if (theToken.kind == tkHash) {
    to.descriptor = parseDescriptor();
    if (to.descriptor < 0) return false;
  } else if (isWord("MUDO")) {
    to.silent = true;
    scan();
  }
  bool ok;
  if (listForm()) {
    scan();
    ok = writeList(to);
  } else {
    // An invalid value never goes into a file or connection; on the
    // console it is shown as such.
    std::string text;
    const char* invalid = to.descriptor >= 0 ? "Expressão inválida para o comando ESCREVE" : nullptr;
    if (!collectItems(text, invalid)) return false;
    bool lineBreak = !takeAmpersand();
    ok = emit(to, text, lineBreak);
  }
  if (to.descriptor < 0) waitSpeech();
  return ok;
}

bool cmdSpeak() { return speakItems(false); }

bool cmdSpell() { return speakItems(true); }

}  // namespace varlo
