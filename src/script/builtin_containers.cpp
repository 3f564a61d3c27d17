// Built-in functions on dictionaries and lists: CHAVES, INSERE and RETIRA.
// INSERE and RETIRA change the container itself, so the caller's variable
// sees the change.
#include "script/interp.h"

namespace varlo {

bool fnKeys(const SymtbEntry&) {
  const Operand& d = argument(1);
  if (d.tag != Tag::dict) return true;
  Operand keys = newList();
  for (const DicNode* n = d.obj->firstNode; n; n = n->next) listAppend(keys, stringValue(n->key));
  setResult(std::move(keys));
  return true;
}

bool fnInsert(const SymtbEntry&) {
  Operand& c = argument(1);
  const Operand& p = argument(2);
  const Operand& v = argument(3);
  if (v.tag == Tag::invalid || v.tag == Tag::undefined) return false;
  // A container never holds itself: it gets a copy of itself instead.
  Operand value;
  if (wouldHoldItself(c, v)) deepCopy(value, v);
  else shareValue(value, v);
  if (c.tag == Tag::list) {
    Operand at = toInteger(p);
    bool ok = at.tag == Tag::integer;
    if (ok) listInsert(c, at.first, std::move(value));
    releaseValue(at);
    releaseValue(value);
    if (ok) setResult(integerValue(1));
    return ok;
  }
  bool key = p.tag == Tag::integer || p.tag == Tag::string || p.tag == Tag::range || p.tag == Tag::list ||
             p.tag == Tag::dict;
  if (c.tag == Tag::dict && key) dictSetMany(c, p, value);
  releaseValue(value);
  if (c.tag != Tag::dict || !key) return false;
  setResult(integerValue(1));
  return true;
}

bool fnRemove(const SymtbEntry&) {
  Operand& c = argument(1);
  const Operand& p = argument(2);
  if (c.tag == Tag::list) {
    Operand at = toInteger(p);
    if (at.tag == Tag::integer) setResult(listTake(c, at.first));
    releaseValue(at);
  } else if (c.tag == Tag::dict) {
    std::string key;
    if (keyText(p, key)) setResult(dictRemoveKey(c, key));
  }
  return true;
}

}  // namespace varlo
