// In-place arithmetic: SOMA, SUBTRAI, MULTIPLICA and DIVIDE var int. A
// string ending in digits is a counter for SOMA and SUBTRAI (ARQ009 + 1
// gives ARQ010), keeping its length.
#include <cstdlib>

#include "script/cmd_operands.h"
#include "script/interp.h"

namespace varlo {

namespace {

enum class Op { add, subtract, multiply, divide };

int32_t wrap(int64_t n) { return int32_t(uint32_t(uint64_t(n))); }

int32_t apply(Op op, int32_t a, int32_t b) {
  switch (op) {
    case Op::add: return wrap(int64_t(a) + b);
    case Op::subtract: return wrap(int64_t(a) - b);
    case Op::multiply: return wrap(int64_t(a) * b);
    case Op::divide:
      if (b == 0) {
        reportError(cp("Divisão por zero evitada"));
        b = 1;
      }
      return wrap(int64_t(a) / b);
  }
  return a;
}

// Adds (or subtracts) amount to the digits at the end of text, digit by
// digit with carry or borrow; false when text does not end in a digit.
bool countInText(std::string& text, int64_t amount, bool add) {
  if (text.empty() || text.back() < '0' || text.back() > '9') return false;
  if (amount < 0) {
    amount = -amount;
    add = !add;
  }
  int carry = 0;
  for (size_t i = text.size(); i-- > 0;) {
    char& c = text[i];
    if (c < '0' || c > '9') break;
    int digit = int(amount % 10) + carry;
    amount /= 10;
    int value = add ? (c - '0') + digit : (c - '0') - digit;
    carry = 0;
    if (value > 9) {
      value -= 10;
      carry = 1;
    } else if (value < 0) {
      value += 10;
      carry = 1;
    }
    c = char('0' + value);
  }
  return true;
}

bool inPlace(Op op, const char* name) {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  int32_t amount = 0;
  if (!readInteger(amount, false)) {
    return failLine("O segundo operando do comando " + std::string(name) + " deve ser inteiro");
  }
  Operand current = readLvalue(target);
  Operand number = toInteger(current);
  Operand result;
  if (number.tag == Tag::integer) {
    result = integerValue(apply(op, number.first, amount));
  } else if (current.tag == Tag::string && (op == Op::add || op == Op::subtract)) {
    std::string text = textOf(current);
    if (countInText(text, amount, op == Op::add)) result = stringValue(std::move(text));
  }
  releaseValue(number);
  releaseValue(current);
  if (result.tag == Tag::invalid) {
    return failLine("O primeiro operando do comando " + std::string(name) + cp(" não é inteiro"));
  }
  return assignLvalue(target, std::move(result));
}

}  // namespace

bool cmdAdd() { return inPlace(Op::add, "SOMA"); }
bool cmdSubtract() { return inPlace(Op::subtract, "SUBTRAI"); }
bool cmdMultiply() { return inPlace(Op::multiply, "MULTIPLICA"); }
bool cmdDivide() { return inPlace(Op::divide, "DIVIDE"); }

}  // namespace varlo
