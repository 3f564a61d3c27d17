// Targets of assignments: a variable and its selector path, read and
// written in place (assignment shares, it never copies).
#include <algorithm>

#include "script/expr.h"
#include "script/interp.h"
#include "script/lexer.h"

namespace varlo {

namespace {

// The entry named at the current token, aliases of imported scripts
// followed; a missing name is created as a script-level variable.
SymtbEntry* targetEntry() {
  int32_t script = theInterp.currentScript;
  SymtbEntry* entry = resolveCurrentToken();
  while (entry && entry->kind == skModule) {
    if (scan() != tkDot || scan() != tkIdentifier) {
      reportError(cp("Esperava um identificador após o ponto"));
      return nullptr;
    }
    script = entry->wordA;
    entry = resolve(script, nullptr, theToken.text);
  }
  if (!entry) entry = findOrCreate(script, nullptr, theToken.text, true);
  if (entry && entry->kind == skNew) entry->kind = skVariable;
  return entry;
}

struct Assignment {
  const Lvalue& target;
  std::vector<const Operand*> containers;  // the values walked so far

  bool invalidIndex(const Operand& index) {
    reportError(cp("Índice inválido: ") + quoted(valueText(index)) + " para " +
                quoted(lvalueText(target)));
    return false;
  }

  // The value to store in a container: a copy when the container (or one
  // holding it) is reachable from the value.
  Operand storable(const Operand& value) {
    for (const Operand* c : containers) {
      if (wouldHoldItself(*c, value)) {
        Operand copy;
        deepCopy(copy, value);
        return copy;
      }
    }
    return shared(value);
  }

  bool into(Operand& holder, size_t step, const Operand& value) {
    switch (holder.tag) {
      case Tag::dict: return intoDict(holder, step, value);
      case Tag::list: return intoList(holder, step, value);
      case Tag::string:
        if (step + 1 == target.path.size()) return intoString(holder, step, value);
        return invalidIndex(target.path[step]);
      default:
        reportError(quoted(lvalueText(target)) + cp(" é do tipo ") + quoted(typeName(holder.tag)) +
                    cp(", não é indexável"));
        return false;
    }
  }

  bool descend(Operand& child, size_t step, const Operand& value, Operand& holder) {
    containers.push_back(&holder);
    bool ok = into(child, step + 1, value);
    containers.pop_back();
    return ok;
  }

  static void keysOf(const Operand& index, std::vector<std::string>& keys) {
    std::string key;
    switch (index.tag) {
      case Tag::range: {
        int step = index.last >= index.first ? 1 : -1;
        for (int64_t k = index.first;; k += step) {
          keys.push_back(std::to_string(k));
          if (k == index.last || keys.size() > valueLimits().maxListLength) break;
        }
        break;
      }
      case Tag::dict:
        for (DicNode* n = index.obj->firstNode; n; n = n->next) keys.push_back(n->key);
        break;
      case Tag::list:
        for (const Operand& cell : cellsOf(index)) {
          if (!isHole(cell)) keysOf(cell, keys);
        }
        break;
      default:
        if (keyText(index, key)) keys.push_back(key);
        break;
    }
  }

  bool intoDict(Operand& holder, size_t step, const Operand& value) {
    std::vector<std::string> keys;
    keysOf(target.path[step], keys);
    if (keys.empty()) return invalidIndex(target.path[step]);
    bool last = step + 1 == target.path.size();
    containers.push_back(&holder);
    for (const std::string& key : keys) {
      if (last) {
        dictSet(holder, key, storable(value));
        continue;
      }
      DicNode* node = dictFind(holder, key);
      if (!node) {
        dictSet(holder, key, newDict());
        node = dictFind(holder, key);
      }
      if (!into(node->value, step + 1, value)) {
        containers.pop_back();
        return false;
      }
    }
    containers.pop_back();
    return true;
  }

  bool listIndex(const Operand& index, int32_t& out) {
    if (index.tag == Tag::integer) out = index.first;
    else if (index.tag != Tag::string || !parseInteger(textOf(index), out)) return false;
    return out >= 0;
  }

  bool replaceSlice(Operand& holder, const Operand& range, const Operand& value) {
    auto& cells = cellsOf(holder);
    int64_t length = int64_t(cells.size());
    int64_t lo = std::clamp<int64_t>(std::min(range.first, range.last), 0, length);
    int64_t hi = std::clamp<int64_t>(std::max(range.first, range.last), -1, length - 1);
    containers.push_back(&holder);
    Operand source = storable(value);
    containers.pop_back();
    Operand fresh = newList();
    for (const Operand& cell : cellsOf(source)) listAppend(fresh, shared(cell));
    releaseValue(source);
    Operand removed = newList();
    if (hi >= lo) {
      auto first = cells.begin() + lo, end = cells.begin() + hi + 1;
      cellsOf(removed).assign(first, end);
      cells.erase(first, end);
    }
    releaseValue(removed);  // frees the replaced cells with their values
    auto& moved = cellsOf(fresh);
    cells.insert(cells.begin() + lo, moved.begin(), moved.end());
    moved.clear();
    releaseValue(fresh);
    return true;
  }

  bool intoList(Operand& holder, size_t step, const Operand& value) {
    const Operand& indexes = target.path[step];
    bool last = step + 1 == target.path.size();
    std::vector<const Operand*> list;
    if (indexes.tag == Tag::list) {
      for (const Operand& cell : cellsOf(indexes)) if (!isHole(cell)) list.push_back(&cell);
    } else {
      list.push_back(&indexes);
    }
    if (list.empty()) return invalidIndex(indexes);
    for (const Operand* index : list) {
      if (last && index->tag == Tag::range && value.tag == Tag::list) {
        replaceSlice(holder, *index, value);
        continue;
      }
      int32_t i;
      if (!listIndex(*index, i)) return invalidIndex(*index);
      auto& cells = cellsOf(holder);
      if (last) {
        containers.push_back(&holder);
        listSet(holder, i, storable(value));
        containers.pop_back();
        continue;
      }
      if (size_t(i) >= cells.size()) {
        listAppend(holder, newDict());
        i = int32_t(cells.size() - 1);
      } else if (isHole(cells[size_t(i)])) {
        listSet(holder, i, newDict());
      }
      if (!descend(cells[size_t(i)], step, value, holder)) return false;
    }
    return true;
  }

  bool intoString(Operand& holder, size_t step, const Operand& value) {
    std::string text;
    if (value.tag == Tag::integer) text.assign(1, value.first >= 0 && value.first <= 255 ? char(value.first) : ' ');
    else if (value.tag == Tag::string) text = textOf(value);
    else return fail(cp("Valor a ser atribuído é incompatível com uma cadeia"));
    std::string& s = textOf(holder);
    const Operand& index = target.path[step].tag == Tag::list && listLength(target.path[step]) == 1 &&
                                   !isHole(cellsOf(target.path[step])[0])
                               ? cellsOf(target.path[step])[0]
                               : target.path[step];
    int32_t i;
    if (index.tag == Tag::range) {
      int64_t lo = std::min(index.first, index.last), hi = std::max(index.first, index.last);
      if (lo < 1 || hi > int64_t(s.size())) return invalidIndex(index);
      size_t count = size_t(hi - lo + 1);
      if (value.tag == Tag::integer) text.assign(count, text[0]);
      else if (index.last < index.first) std::reverse(text.begin(), text.end());
      if (!fitsLimits(0, s.size() - count + text.size())) return false;
      s.replace(size_t(lo - 1), count, text);
      return true;
    }
    if (!listIndex(index, i) || i < 1 || size_t(i) > s.size()) return invalidIndex(index);
    if (!fitsLimits(0, s.size() - 1 + text.size())) return false;
    s.replace(size_t(i - 1), 1, text);
    return true;
  }
};

}  // namespace

Lvalue::Lvalue(Lvalue&& other) noexcept : entry(other.entry), path(std::move(other.path)) {
  other.entry = nullptr;
  other.path.clear();
}

Lvalue& Lvalue::operator=(Lvalue&& other) noexcept {
  if (this != &other) {
    for (Operand& v : path) releaseValue(v);
    entry = other.entry;
    path = std::move(other.path);
    other.entry = nullptr;
    other.path.clear();
  }
  return *this;
}

Lvalue::~Lvalue() {
  for (Operand& v : path) releaseValue(v);
}

bool Lvalue::isFunction() const {
  return entry && (entry->kind == skBuiltin || entry->kind == skFunction);
}

Lvalue parseLvalue(bool acceptFunction) {
  Lvalue target;
  if (theToken.kind != tkIdentifier) {
    reportError("Esperava um identificador");
    return target;
  }
  SymtbEntry* entry = targetEntry();
  if (!entry) return target;
  bool function = entry->kind == skBuiltin || entry->kind == skFunction;
  if (function && acceptFunction) {
    target.entry = entry;
    return target;
  }
  if (entry->kind != skVariable) {
    reportError(quoted(entry->name) + cp(" é um identificador de ") + std::string(kindName(entry->kind)) +
                cp("; não pode ser nome de variável"));
    return target;
  }
  scan();
  while (theToken.kind == tkDot || theToken.kind == tkLeftBracket) {
    Operand indexes = readIndexList();
    if (indexes.tag != Tag::list) return Lvalue();
    target.path.push_back(indexes);
  }
  target.entry = entry;
  return target;
}

Operand readLvalue(const Lvalue& target) {
  if (!target.entry || target.entry->kind != skVariable) return invalidValue();
  Operand value = readVariable(*target.entry);
  for (const Operand& indexes : target.path) {
    Operand selected = applySelector(value, indexes);
    releaseValue(value);
    value = selected;
  }
  return value;
}

bool assignLvalue(const Lvalue& target, Operand&& value) {
  if (!target.entry || target.entry->kind != skVariable) {
    releaseValue(value);
    return false;
  }
  VarCell* cell = variableCell(*target.entry);
  if (cell->position >= 0) {
    reportError("Tentativa de modificar o iterador " + target.entry->name);
    releaseValue(value);
    return false;
  }
  if (target.path.empty()) {
    Operand old = cell->value;
    cell->value = value;
    value = Operand{};
    releaseValue(old);
    return true;
  }
  Assignment assignment{target, {}};
  bool ok = assignment.into(cell->value, 0, value);
  releaseValue(value);
  return ok;
}

std::string lvalueText(const Lvalue& target) {
  if (!target.entry) return std::string();
  std::string text = target.entry->name;
  for (const Operand& indexes : target.path) appendValueText(text, indexes);
  return text;
}

}  // namespace varlo
