// Built-in functions on any value: TIPO, TAMANHO, INTEIRO, DUPLICA, NAO,
// INDEFINIDO, VERDADEIRO, FALSO and MAP.
#include <cstdlib>

#include "script/commands.h"
#include "script/interp.h"
#include "script/lexer.h"
#include "script/symbols.h"

namespace varlo {

namespace {

int32_t wrapped(int64_t n) { return int32_t(uint32_t(uint64_t(n))); }

// The function MAP names, seen from where MAP was called; null unless it
// takes exactly one parameter.
SymtbEntry* singleParameterFunction(const Operand& name) {
  if (name.tag != Tag::string) return nullptr;
  const SymtbEntry* caller = stackEntry(theInterp.frameBase).owner;
  SymtbEntry* f = resolve(theInterp.currentScript, caller, fold(textOf(name)));
  if (!f) return nullptr;
  if (f->kind == skBuiltin && f->wordA == 1) return f;
  if (f->kind == skFunction && f->wordB == 1) return f;
  return nullptr;
}

}  // namespace

bool fnType(const SymtbEntry&) {
  setResult(stringValue(typeName(argument(1).tag)));
  return true;
}

bool fnSize(const SymtbEntry&) {
  const Operand& v = argument(1);
  switch (v.tag) {
    case Tag::integer: setResult(integerValue(wrapped(std::llabs(v.first)))); return true;
    case Tag::string: setResult(integerValue(int32_t(textOf(v).size()))); return true;
    case Tag::dict: setResult(integerValue(v.obj->count)); return true;
    case Tag::list: setResult(integerValue(listLength(v))); return true;
    case Tag::range: setResult(integerValue(wrapped(std::llabs(int64_t(v.last) - v.first) + 1))); return true;
    default: return false;
  }
}

bool fnInteger(const SymtbEntry&) {
  Operand n = toInteger(argument(1));
  if (n.tag != Tag::integer) {
    releaseValue(n);
    return true;
  }
  setResult(std::move(n));
  return true;
}

bool fnDuplicate(const SymtbEntry&) {
  const Operand& v = argument(1);
  if (!isObject(v.tag)) return false;
  Operand copy;
  deepCopy(copy, v);
  setResult(std::move(copy));
  return true;
}

bool fnNot(const SymtbEntry&) {
  const Operand& v = argument(1);
  if (v.tag != Tag::integer) return false;
  setResult(integerValue(v.first == 0 ? 1 : 0));
  return true;
}

bool fnUndefined(const SymtbEntry&) { return true; }

bool fnTrue(const SymtbEntry&) {
  setResult(integerValue(1));
  return true;
}

bool fnFalse(const SymtbEntry&) {
  setResult(integerValue(0));
  return true;
}

bool builtinConstant(const SymtbEntry& f, Operand& value) {
  if (f.kind != skBuiltin) return false;
  if (f.builtin == fnUndefined) value = undefinedValue();
  else if (f.builtin == fnTrue) value = integerValue(1);
  else if (f.builtin == fnFalse) value = integerValue(0);
  else return false;
  return true;
}

bool fnMap(const SymtbEntry&) {
  SymtbEntry* f = singleParameterFunction(argument(1));
  if (!f || argument(2).tag != Tag::list) return false;
  Operand list = shared(argument(2));
  Operand results = newList();
  std::string name = f->name;
  // The elements there at the start, as far as the function leaves them:
  // a function that grows the list cannot make MAP run forever.
  int32_t count = listLength(list);
  for (int32_t i = 0; i < count && i < listLength(list); ++i) {
    const Operand& cell = cellsOf(list)[size_t(i)];
    Operand result = undefinedValue();
    if (!isHole(cell)) {
      Arguments args;
      deepCopy(args.values[0], cell);  // read before the call, which may grow the list
      args.count = 1;
      callFunction(name, f, args, result);
      if (result.tag == Tag::invalid) result = undefinedValue();
    }
    listAppend(results, std::move(result));
  }
  releaseValue(list);
  setResult(std::move(results));
  return true;
}

}  // namespace varlo
