// The list commands: ANEXA, ORDENA and PROCURA. They change the list the
// variable refers to, so every variable sharing it sees the change.
#include <algorithm>
#include <utility>
#include <vector>

#include "console/speech.h"
#include "script/cmd_operands.h"
#include "script/interp.h"

namespace varlo {

namespace {

struct SortOptions {
  bool descending = false;
  bool numeric = false;
  bool ignoreCase = false;
};

// One element with what the comparison needs worked out once.
struct SortKey {
  Operand* cell = nullptr;
  Tag tag = Tag::invalid;
  int32_t integer = 0;      // integer, or the number of a numeric string
  bool number = false;      // integer or numeric string
  std::string text;         // integers and strings, folded with MAIUSC
};

SortKey keyOf(Operand* cell, const SortOptions& options) {
  SortKey k;
  k.cell = cell;
  k.tag = cell->tag;
  if (k.tag == Tag::integer) {
    k.integer = cell->first;
    k.number = true;
    k.text = integerText(cell->first);
  } else if (k.tag == Tag::string) {
    k.number = parseInteger(textOf(*cell), k.integer);
    k.text = options.ignoreCase ? upperText(textOf(*cell)) : textOf(*cell);
  }
  return k;
}

bool textual(Tag t) { return t == Tag::integer || t == Tag::string; }

int compareKeys(const SortKey& a, const SortKey& b, const SortOptions& options) {
  int result;
  if (a.tag == Tag::integer && b.tag == Tag::integer) {
    result = a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
  } else if (textual(a.tag) && textual(b.tag)) {
    if (options.numeric && a.number && b.number) {
      result = a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
    } else {
      int c = a.text.compare(b.text);
      result = c < 0 ? -1 : c > 0 ? 1 : 0;
    }
  } else {
    result = a.tag == b.tag ? 0 : -1;
  }
  return options.descending ? -result : result;
}

// Quicksort that stays inside its bounds whatever the comparison answers
// (mixed types make it inconsistent); the smaller side recurses, so the
// native stack stays shallow.
void quicksort(std::vector<SortKey>& keys, long lo, long hi, const SortOptions& options) {
  while (lo < hi) {
    if (hi - lo < 12) {
      for (long i = lo + 1; i <= hi; ++i) {
        for (long j = i; j > lo && compareKeys(keys[size_t(j)], keys[size_t(j - 1)], options) < 0; --j) {
          std::swap(keys[size_t(j)], keys[size_t(j - 1)]);
        }
      }
      return;
    }
    std::swap(keys[size_t(lo)], keys[size_t(lo + (hi - lo) / 2)]);
    long store = lo;
    for (long i = lo + 1; i <= hi; ++i) {
      if (compareKeys(keys[size_t(i)], keys[size_t(lo)], options) < 0) std::swap(keys[size_t(++store)], keys[size_t(i)]);
    }
    std::swap(keys[size_t(lo)], keys[size_t(store)]);
    if (store - lo < hi - store) {
      quicksort(keys, lo, store - 1, options);
      lo = store + 1;
    } else {
      quicksort(keys, store + 1, hi, options);
      hi = store - 1;
    }
  }
}

void sortList(Operand& list, const SortOptions& options) {
  auto& cells = cellsOf(list);
  std::vector<SortKey> keys;
  keys.reserve(cells.size());
  size_t holes = 0;
  for (Operand* cell : cells) {
    if (cell) keys.push_back(keyOf(cell, options));
    else ++holes;
  }
  quicksort(keys, 0, long(keys.size()) - 1, options);
  size_t i = 0;
  for (const SortKey& k : keys) cells[i++] = k.cell;
  // Holes have no place in an order: they go to the end.
  while (holes-- > 0) cells[i++] = nullptr;
}

SortOptions sortOptions() {
  SortOptions options;
  for (;;) {
    if (isWord("DECRESCENTE")) options.descending = true;
    else if (isWord("NUMERICO")) options.numeric = true;
    else if (isWord("MAIUSC") || isWord("MAIUSCULA")) options.ignoreCase = true;
    else return options;
    scan();
  }
}

bool elementMatches(const Operand& element, const Operand& value, bool partial, bool ignoreCase) {
  if (value.tag == Tag::integer) return sameValue(element, value);
  if (element.tag != Tag::string) return false;
  std::string a = ignoreCase ? upperText(textOf(element)) : textOf(element);
  std::string b = ignoreCase ? upperText(textOf(value)) : textOf(value);
  return partial ? a.find(b) != std::string::npos : a == b;
}

}  // namespace

bool cmdAppend() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  Operand list = readLvalue(target);
  Operand more = evaluate(1);
  bool ok = list.tag == Tag::list && more.tag == Tag::list;
  if (ok && fitsLimits(size_t(listLength(list)) + size_t(listLength(more)), 0)) {
    // Copy the cells first: the list may be appended to itself.
    std::vector<Operand> values;
    values.reserve(cellsOf(more).size());
    for (const Operand* cell : cellsOf(more)) {
      Operand v;
      if (cell && wouldHoldItself(list, *cell)) deepCopy(v, *cell);
      else if (cell) shareValue(v, *cell);
      values.push_back(v);
    }
    for (Operand& v : values) listAppend(list, std::move(v));
  }
  releaseValue(list);
  releaseValue(more);
  if (!ok) return failLine("O comando ANEXA espera listas como argumentos");
  return true;
}

bool cmdSort() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  Operand list = readLvalue(target);
  SortOptions options = sortOptions();
  bool ok = list.tag == Tag::list;
  if (ok) sortList(list, options);
  releaseValue(list);
  if (!ok) return failLine("Esperava uma lista para ordenar");
  return true;
}

bool cmdFind() {
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  Operand list = evaluate(1);
  Operand start = evaluateAs(Tag::integer);
  Operand value = evaluate(1);
  bool partial = false, ignoreCase = false;
  for (;; scan()) {
    if (isWord("PARCIAL")) partial = true;
    else if (isWord("MAIUSC") || isWord("MAIUSCULA")) ignoreCase = true;
    else break;
  }
  int found = -1;
  std::string message;
  if (list.tag != Tag::list) {
    message = "O segundo argumento deveria ser uma LISTA";
  } else if (start.tag != Tag::integer) {
    message = cp("O terceiro argumento deveria ser a posição na lista");
  } else if (value.tag != Tag::integer && value.tag != Tag::string) {
    message = cp("O comando PROCURA busca apenas inteiros ou cadeias na lista");
  } else if ((partial || ignoreCase) && value.tag != Tag::string) {
    message = cp("Os modificadores PARCIAL ou MAIUSC aplicam-se apenas à busca de cadeias na lista");
  } else {
    const auto& cells = cellsOf(list);
    for (size_t i = size_t(std::max(start.first, 0)); i < cells.size() && found < 0; ++i) {
      if (cells[i] && elementMatches(*cells[i], value, partial, ignoreCase)) found = int(i);
    }
  }
  releaseValue(list);
  releaseValue(start);
  releaseValue(value);
  if (!message.empty()) return failLine(message);
  return assignLvalue(target, integerValue(found));
}

}  // namespace varlo
