// Operand readers shared by the command handlers.
#include "script/cmd_operands.h"

#include "script/interp.h"

namespace varlo {

bool readString(std::string& out, bool report) {
  Operand v = evaluateAs(Tag::string);
  bool ok = v.tag == Tag::string;
  if (ok) out = textOf(v);
  releaseValue(v);
  if (!ok && report) reportError("Esperava uma cadeia");
  return ok;
}

bool readInteger(int32_t& out, bool report) {
  Operand v = evaluateAs(Tag::integer);
  bool ok = v.tag == Tag::integer;
  if (ok) out = v.first;
  releaseValue(v);
  if (!ok && report) reportError("Esperava um valor inteiro");
  return ok;
}

bool failLine(std::string_view message) {
  skipToEnd();
  return fail(message);
}

bool takeAmpersand() {
  if (theToken.kind != tkAmpersand) return false;
  scan();
  return true;
}

uint8_t nextTokenKind() {
  TokenRec here = theToken;
  uint8_t kind = scan();
  theToken = here;
  return kind;
}

std::string keyCodeText(uint8_t byte, uint8_t extendedCode) {
  if (byte == 0) return "#0#" + std::to_string(extendedCode);
  if (byte < 32) return "#" + std::to_string(byte);
  return std::string(1, char(byte));
}

bool appendToString(const Lvalue& target, std::string_view piece, const char* notString) {
  VarCell* cell = target.path.empty() ? variableCell(*target.entry) : nullptr;
  if (cell && cell->position < 0 && cell->value.tag == Tag::string && cell->value.obj->refs == 1) {
    std::string& text = textOf(cell->value);
    if (!fitsLimits(0, text.size() + piece.size())) return false;
    text += piece;
    return true;
  }
  Operand current = readLvalue(target);
  bool isString = current.tag == Tag::string;
  std::string text = isString ? textOf(current) : std::string();
  releaseValue(current);
  if (!isString) return failLine(cp(notString));
  if (!fitsLimits(0, text.size() + piece.size())) return false;
  text += piece;
  return assignLvalue(target, stringValue(std::move(text)));
}

}  // namespace varlo
