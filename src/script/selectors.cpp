// Reading through selectors: v[i], v[a..b], v["k"], v.nome, v[i, j].
#include <algorithm>

#include "script/expr.h"
#include "script/interp.h"

namespace varlo {

namespace {

Operand selectOne(const Operand& value, const Operand& index);

// The indexes held by a dictionary or list used as one index.
std::vector<const Operand*> indexesOf(const Operand& index) {
  std::vector<const Operand*> out;
  if (index.tag == Tag::list) {
    for (const Operand& cell : cellsOf(index)) {
      if (!isHole(cell)) out.push_back(&cell);
    }
  } else {
    for (DicNode* n = index.obj->firstNode; n; n = n->next) out.push_back(&n->value);
  }
  return out;
}

std::string stringRange(const std::string& s, int32_t a, int32_t b) {
  std::string out;
  int64_t step = b >= a ? 1 : -1;
  int64_t length = int64_t(s.size());
  int64_t from = a, to = b;
  // Positions outside the string are skipped: clamp the walk to them.
  if (step > 0) {
    from = std::max<int64_t>(from, 1);
    to = std::min<int64_t>(to, length);
  } else {
    from = std::min<int64_t>(from, length);
    to = std::max<int64_t>(to, 1);
  }
  for (int64_t i = from; step > 0 ? i <= to : i >= to; i += step) out += s[size_t(i - 1)];
  return out;
}

Operand selectFromString(const Operand& value, const Operand& index) {
  const std::string& s = textOf(value);
  int32_t n;
  switch (index.tag) {
    case Tag::integer:
      if (index.first < 1 || size_t(index.first) > s.size()) return stringValue(std::string());
      return stringValue(std::string(1, s[size_t(index.first - 1)]));
    case Tag::range: return stringValue(stringRange(s, index.first, index.last));
    case Tag::string:
      if (parseInteger(textOf(index), n) && n >= 1 && size_t(n) <= s.size()) {
        return stringValue(std::string(1, s[size_t(n - 1)]));
      }
      return integerValue(int32_t(s.find(textOf(index)) + 1));
    case Tag::dict:
    case Tag::list: {
      std::string out;
      for (const Operand* i : indexesOf(index)) {
        Operand part = selectOne(value, *i);
        if (part.tag == Tag::string) out += textOf(part);
        releaseValue(part);
      }
      return stringValue(std::move(out));
    }
    default: return invalidValue();
  }
}

Operand listRange(const Operand& list, int32_t a, int32_t b) {
  Operand out = newList();
  int64_t length = listLength(list);
  if (length == 0) return out;
  int64_t from = std::clamp<int64_t>(a, 0, length - 1);
  int64_t to = std::clamp<int64_t>(b, 0, length - 1);
  int64_t step = b >= a ? 1 : -1;
  if ((step > 0 && (b < 0 || a >= length)) || (step < 0 && (a < 0 || b >= length))) return out;
  for (int64_t i = from; step > 0 ? i <= to : i >= to; i += step) {
    listAppend(out, shared(cellsOf(list)[size_t(i)]));
  }
  return out;
}

Operand selectFromList(const Operand& value, const Operand& index) {
  int32_t n;
  switch (index.tag) {
    case Tag::integer: return listGet(value, index.first);
    case Tag::range: return listRange(value, index.first, index.last);
    case Tag::string:
      if (parseInteger(textOf(index), n)) return listGet(value, n);
      return invalidValue();
    case Tag::dict:
    case Tag::list: {
      Operand out = newList();
      for (const Operand* i : indexesOf(index)) {
        Operand part = selectOne(value, *i);
        if (part.tag == Tag::list && (i->tag == Tag::range || i->tag == Tag::list || i->tag == Tag::dict)) {
          for (const Operand& cell : cellsOf(part)) listAppend(out, shared(cell));
          releaseValue(part);
        } else {
          listAppend(out, std::move(part));
        }
      }
      return out;
    }
    default: return invalidValue();
  }
}

Operand selectFromDict(const Operand& value, const Operand& index) {
  std::string key;
  switch (index.tag) {
    case Tag::integer:
    case Tag::string:
      keyText(index, key);
      return dictGet(value, key);
    case Tag::range: {
      Operand out = newDict();
      int step = index.last >= index.first ? 1 : -1;
      for (int64_t k = index.first;; k += step) {
        DicNode* node = dictFind(value, std::to_string(k));
        if (!node) {
          releaseValue(out);
          return invalidValue();
        }
        dictSet(out, node->key, shared(node->value));
        if (k == index.last) break;
      }
      return out;
    }
    case Tag::dict:
    case Tag::list: {
      Operand out = newDict();
      for (const Operand* i : indexesOf(index)) {
        if (keyText(*i, key)) dictSet(out, key, dictGet(value, key));
      }
      return out;
    }
    default: return invalidValue();
  }
}

Operand selectOne(const Operand& value, const Operand& index) {
  switch (value.tag) {
    case Tag::string: return selectFromString(value, index);
    case Tag::list: return selectFromList(value, index);
    case Tag::dict: return selectFromDict(value, index);
    default: return invalidValue();
  }
}

Operand selectLast(const Operand& value) {
  if (value.tag == Tag::list) return listGet(value, listLength(value) - 1);
  if (value.tag == Tag::string) {
    const std::string& s = textOf(value);
    return s.empty() ? stringValue(std::string()) : stringValue(std::string(1, s.back()));
  }
  return value.tag == Tag::dict ? undefinedValue() : invalidValue();
}

// Several indexes: the selections combined by the value's own type.
Operand selectMany(const Operand& value, const Operand& indexes) {
  if (value.tag != Tag::string && value.tag != Tag::list && value.tag != Tag::dict) {
    return invalidValue();
  }
  if (value.tag == Tag::string) return selectFromString(value, indexes);
  if (value.tag == Tag::list) return selectFromList(value, indexes);
  Operand out = newDict();
  for (const Operand& cell : cellsOf(indexes)) {
    if (isHole(cell)) continue;
    Operand part = selectFromDict(value, cell);
    std::string key;
    if (part.tag == Tag::dict) {
      for (DicNode* n = part.obj->firstNode; n; n = n->next) dictSet(out, n->key, shared(n->value));
    } else if (keyText(cell, key)) {
      dictSet(out, key, shared(part));
    }
    releaseValue(part);
  }
  return out;
}

}  // namespace

Operand applySelector(const Operand& value, const Operand& indexes) {
  const auto& cells = cellsOf(indexes);
  if (cells.empty()) return selectLast(value);
  if (cells.size() == 1) return isHole(cells[0]) ? invalidValue() : selectOne(value, cells[0]);
  return selectMany(value, indexes);
}

}  // namespace varlo
