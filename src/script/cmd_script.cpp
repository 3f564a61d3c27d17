// Commands about the script itself: DEBUG, VERSAO and RANDOMIZA.
#include <chrono>
#include <cstdlib>

#include "base/plain_text.h"
#include "script/cmd_operands.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo {

namespace {

constexpr const char* kVersion = "6.3";

bool isDigit(char c) { return c >= '0' && c <= '9'; }


// A version "digits[.digits]" as its whole part and its fraction digits
// without trailing zeros (so fractions compare as strings); false when the
// text is no such number.
bool parseVersion(const std::string& text, long& whole, std::string& fraction) {
  size_t i = 0;
  while (i < text.size() && isDigit(text[i])) ++i;
  if (i == 0 || i > 9) return false;
  whole = std::stol(text.substr(0, i));
  fraction.clear();
  if (i < text.size()) {
    if (text[i] != '.' || i + 1 == text.size()) return false;
    fraction = text.substr(i + 1);
    for (char c : fraction) {
      if (!isDigit(c)) return false;
    }
  }
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
  return true;
}

bool newerThanThis(long whole, const std::string& fraction) {
  long ours = 0;
  std::string ourFraction;
  parseVersion(kVersion, ours, ourFraction);
  if (whole != ours) return whole > ours;
  return fraction > ourFraction;
}

}  // namespace

bool cmdDebug() {
  bool off = isWord("N") || (theToken.kind == tkOperator && theToken.op == opSub);
  currentScript().trace = !off;
  skipToEnd();
  printLine(cp(off ? "Depuração desligada" : "Depuração ligada"));
  return true;
}

bool cmdVersion() {
  std::string text;
  if (theToken.kind == tkEnd || !readString(text, false)) {
    return failLine(cp("Esperava uma cadeia com o número da versão"));
  }
  long whole = 0;
  std::string fraction;
  if (!parseVersion(std::string(trimBlanks(text)), whole, fraction)) {
    reportError(text + cp(" não é um número válido de versão"));
  } else if (newerThanThis(whole, fraction)) {
    reportError(cp("Cuidado: a versão corrente deste interpretador é ") + kVersion);
  }
  return true;
}

bool cmdRandomize() {
  auto now = std::chrono::system_clock::now().time_since_epoch();
  std::srand(unsigned(std::chrono::duration_cast<std::chrono::microseconds>(now).count()));
  return true;
}

}  // namespace varlo
