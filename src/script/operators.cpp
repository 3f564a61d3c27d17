// The binary operators of expressions, dispatched on the types of both sides.
#include <cstring>

#include "script/expr.h"
#include "script/interp.h"
#include "script/lexer.h"

namespace varlo {

namespace {

// The number a side stands for: an integer, or a string toInteger accepts.
bool numberOf(const Operand& v, int32_t& out) {
  if (v.tag == Tag::integer) {
    out = v.first;
    return true;
  }
  return v.tag == Tag::string && parseInteger(textOf(v), out);
}

// Text of an integer or string side (for byte comparison and concatenation).
std::string sideText(const Operand& v) {
  return v.tag == Tag::integer ? integerText(v.first) : textOf(v);
}

bool isScalar(const Operand& v) { return v.tag == Tag::integer || v.tag == Tag::string; }

int compareTexts(const std::string& a, const std::string& b) {
  int c = a.compare(b);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

// -1, 0, 1 for integers and strings (numerically when both are numbers).
int compareScalars(const Operand& a, const Operand& b) {
  int32_t x, y;
  if (numberOf(a, x) && numberOf(b, y)) return x < y ? -1 : x > y ? 1 : 0;
  return compareTexts(sideText(a), sideText(b));
}

// 1, 0, or -1 when `=` does not accept the pair.
int equality(const Operand& a, const Operand& b) {
  if (a.tag == Tag::undefined || b.tag == Tag::undefined) {
    const Operand& other = a.tag == Tag::undefined ? b : a;
    if (other.tag == Tag::undefined) return 1;
    bool comparable = isScalar(other) || other.tag == Tag::dict || other.tag == Tag::list;
    return comparable ? 0 : -1;
  }
  if (isScalar(a) && isScalar(b)) return compareScalars(a, b) == 0;
  if (a.tag == b.tag && (a.tag == Tag::dict || a.tag == Tag::list)) return sameValue(a, b);
  return -1;
}

Operand ordering(uint8_t op, const Operand& a, const Operand& b) {
  if (a.tag == Tag::undefined || b.tag == Tag::undefined) {
    if (a.tag == Tag::invalid || b.tag == Tag::invalid) return invalidValue();
    bool both = a.tag == Tag::undefined && b.tag == Tag::undefined;
    return integerValue(both && (op == opGe || op == opLe));
  }
  if (!isScalar(a) || !isScalar(b)) return invalidValue();
  int c = compareScalars(a, b);
  switch (op) {
    case opGt: return integerValue(c > 0);
    case opGe: return integerValue(c >= 0);
    case opLt: return integerValue(c < 0);
    default: return integerValue(c <= 0);
  }
}

bool listStartsWith(const Operand& l, const Operand& part) {
  return sublistIndex(part, l) == 0;
}

bool listEndsWith(const Operand& l, const Operand& part) {
  const auto& h = cellsOf(l);
  const auto& n = cellsOf(part);
  if (n.size() > h.size()) return false;
  size_t offset = h.size() - n.size();
  for (size_t i = 0; i < n.size(); ++i) {
    const Operand& x = h[offset + i];
    const Operand& y = n[i];
    if (isHole(x) || isHole(y)) {
      if (!isHole(x) || !isHole(y)) return false;
    } else if (!sameValue(x, y)) {
      return false;
    }
  }
  return true;
}

Operand matching(uint8_t op, const Operand& a, const Operand& b) {
  if (a.tag == Tag::string && b.tag == Tag::string) {
    const std::string& s = textOf(a);
    const std::string& part = textOf(b);
    if (part.empty() || part.size() > s.size()) return integerValue(0);
    if (op == opBegins) return integerValue(s.compare(0, part.size(), part) == 0);
    if (op == opEnds) return integerValue(s.compare(s.size() - part.size(), part.size(), part) == 0);
    return integerValue(s.find(part) != std::string::npos);
  }
  if (a.tag == Tag::list && b.tag == Tag::list) {
    if (op == opBegins) return integerValue(listStartsWith(a, b));
    if (op == opEnds) return integerValue(listEndsWith(a, b));
    return integerValue(sublistIndex(b, a) >= 0);
  }
  return invalidValue();
}

Operand concatenation(const Operand& a, const Operand& b) {
  std::string left = sideText(a);
  const std::string right = sideText(b);
  if (!fitsLimits(0, left.size() + right.size())) return invalidValue();
  left += right;
  return stringValue(std::move(left));
}

Operand arithmetic(uint8_t op, int32_t x, int32_t y) {
  uint32_t ux = uint32_t(x), uy = uint32_t(y);
  switch (op) {
    case opAdd: return integerValue(int32_t(ux + uy));
    case opSub: return integerValue(int32_t(ux - uy));
    case opMul: return integerValue(int32_t(ux * uy));
    default: break;
  }
  if (y == 0) {
    reportError(cp("Divisão por ZERO evitada"));
    y = 1;
  }
  if (y == -1) return integerValue(op == opDiv ? int32_t(0u - ux) : 0);
  return integerValue(op == opDiv ? x / y : x % y);
}

Operand power(int32_t base, int32_t exponent) {
  int64_t result = 1;
  for (int32_t i = 0; i < exponent; ++i) {
    result *= base;
    if (result > INT32_MAX || result < INT32_MIN) {
      reportError(cp("Estouro durante potenciação"));
      return invalidValue();
    }
    if (result == 0 || result == 1) break;
    if (result == -1) {
      result = (exponent - i - 1) % 2 == 0 ? -1 : 1;
      break;
    }
  }
  return integerValue(int32_t(result));
}

Operand plus(const Operand& a, const Operand& b) {
  int32_t x, y;
  if (isScalar(a) && isScalar(b)) {
    if (numberOf(a, x) && numberOf(b, y)) return arithmetic(opAdd, x, y);
    if (a.tag == Tag::integer && b.tag == Tag::integer) return invalidValue();
    return concatenation(a, b);
  }
  if (a.tag == Tag::dict && b.tag == Tag::dict) return dictUnion(a, b);
  if (a.tag == Tag::list && b.tag == Tag::list) return listConcat(a, b);
  return invalidValue();
}

Operand numericOrSets(uint8_t op, const Operand& a, const Operand& b) {
  int32_t x, y;
  if (isScalar(a) && isScalar(b)) {
    if (!numberOf(a, x) || !numberOf(b, y)) return invalidValue();
    return op == opPow ? power(x, y) : arithmetic(op, x, y);
  }
  if (op == opSub && a.tag == Tag::dict && b.tag == Tag::dict) return dictDifference(a, b);
  if (op == opSub && a.tag == Tag::list && b.tag == Tag::list) return listDifference(a, b);
  if (op == opMul && a.tag == Tag::dict && b.tag == Tag::dict) return dictIntersection(a, b);
  if (op == opMul && a.tag == Tag::list && b.tag == Tag::list) return listIntersection(a, b);
  return invalidValue();
}

Operand compute(uint8_t op, const Operand& a, const Operand& b) {
  switch (op) {
    case opEq:
    case opNe: {
      int e = equality(a, b);
      if (e < 0) return invalidValue();
      return integerValue(op == opEq ? e : !e);
    }
    case opGt: case opGe: case opLt: case opLe: return ordering(op, a, b);
    case opContains: case opBegins: case opEnds: return matching(op, a, b);
    case opAdd: return plus(a, b);
    case opSub: case opMul: case opDiv: case opMod: case opPow: return numericOrSets(op, a, b);
    case opOr:
    case opAnd:
      if (a.tag == Tag::invalid || b.tag == Tag::invalid) return invalidValue();
      return integerValue(op == opOr ? (isTrue(a) || isTrue(b)) : (isTrue(a) && isTrue(b)));
    case opRange:
      if (a.tag == Tag::integer && b.tag == Tag::integer) return rangeValue(a.first, b.first);
      return invalidValue();
    default: return invalidValue();
  }
}

// text + text or number, when the left text is held by nobody else: its
// object grows in place instead of a new one being built (strings built up
// in a loop, "p" + n). False when the general rules decide.
bool appendedInPlace(Operand& left, const Operand& right) {
  if (left.tag != Tag::string || left.obj->refs != 1 || !isScalar(right)) return false;
  int32_t x, y;
  if (numberOf(left, x) && numberOf(right, y)) return false;  // added as numbers
  std::string& text = left.obj->text;
  std::string more = sideText(right);
  if (!fitsLimits(0, text.size() + more.size())) return false;
  text += more;
  return true;
}

}  // namespace

Operand applyOperator(uint8_t op, Operand&& left, Operand&& right) {
  Operand result;
  if (left.tag == Tag::integer && right.tag == Tag::integer && op >= opAdd && op <= opMod) {
    result = arithmetic(op, left.first, right.first);  // the common case first
  } else if (op == opAdd && appendedInPlace(left, right)) {
    result = left;
    left = Operand{};
  } else {
    result = compute(op, left, right);
  }
  releaseValue(left);
  releaseValue(right);
  return result;
}

}  // namespace varlo
