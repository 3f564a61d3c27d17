// The list commands: ANEXA, ORDENA and PROCURA. They change the list the
// variable refers to, so every variable sharing it sees the change.
#include <algorithm>
#include <utility>
#include <vector>

#include "speech/speech.h"
#include "script/cmd_operands.h"
#include "script/interp.h"

namespace varlo {

namespace {

struct SortOptions {
  bool descending = false;
  bool numeric = false;
  bool ignoreCase = false;
};

bool textual(Tag t) { return t == Tag::integer || t == Tag::string; }

// One element with what the comparison needs worked out once; its text
// (integers and strings, folded with MAIUSC) waits in a separate vector so
// that moving keys stays cheap.
struct SortKey {
  Operand* cell = nullptr;
  Tag tag = Tag::invalid;
  int32_t integer = 0;      // integer, or the number of a numeric string
  bool number = false;      // integer or numeric string
  uint32_t text = 0;        // index into the texts
};

struct Sorter {
  const SortOptions& options;
  std::vector<std::string> texts;
  std::vector<SortKey> keys;

  // Integers need their text only when strings are there to meet them.
  void add(Operand* cell, bool withTexts) {
    SortKey k;
    k.cell = cell;
    k.tag = cell->tag;
    k.text = uint32_t(texts.size());
    if (k.tag == Tag::integer) {
      k.integer = cell->first;
      k.number = true;
      texts.push_back(withTexts ? integerText(cell->first) : std::string());
    } else if (k.tag == Tag::string) {
      k.number = parseInteger(textOf(*cell), k.integer);
      texts.push_back(options.ignoreCase ? upperText(textOf(*cell)) : textOf(*cell));
    } else {
      texts.emplace_back();
    }
    keys.push_back(k);
  }

  int compare(const SortKey& a, const SortKey& b) const {
    int result;
    if (a.tag == Tag::integer && b.tag == Tag::integer) {
      result = a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
    } else if (textual(a.tag) && textual(b.tag)) {
      if (options.numeric && a.number && b.number) {
        result = a.integer < b.integer ? -1 : a.integer > b.integer ? 1 : 0;
      } else {
        int c = texts[a.text].compare(texts[b.text]);
        result = c < 0 ? -1 : c > 0 ? 1 : 0;
      }
    } else {
      result = a.tag == b.tag ? 0 : -1;
    }
    return options.descending ? -result : result;
  }

  void insertionSort(long lo, long hi) {
    for (long i = lo + 1; i <= hi; ++i) {
      for (long j = i; j > lo && compare(keys[size_t(j)], keys[size_t(j - 1)]) < 0; --j) {
        std::swap(keys[size_t(j)], keys[size_t(j - 1)]);
      }
    }
  }

  // Quicksort with three bands (smaller, equal, greater), so runs of equal
  // values cost nothing; every index stays inside lo..hi whatever the
  // comparison answers (mixed types make it inconsistent), and the smaller
  // side recurses so the native stack stays shallow.
  void quicksort(long lo, long hi) {
    while (hi - lo >= 12) {
      SortKey pivot = keys[size_t(lo + (hi - lo) / 2)];
      long lt = lo, i = lo, gt = hi;
      while (i <= gt) {
        int c = compare(keys[size_t(i)], pivot);
        if (c < 0) std::swap(keys[size_t(lt++)], keys[size_t(i++)]);
        else if (c > 0) std::swap(keys[size_t(i)], keys[size_t(gt--)]);
        else ++i;
      }
      if (lt - lo < hi - gt) {
        quicksort(lo, lt - 1);
        lo = gt + 1;
      } else {
        quicksort(gt + 1, hi);
        hi = lt - 1;
      }
    }
    insertionSort(lo, hi);
  }
};

void sortList(Operand& list, const SortOptions& options) {
  auto& cells = cellsOf(list);
  bool strings = std::any_of(cells.begin(), cells.end(), [](const Operand& c) { return c.tag == Tag::string; });
  Sorter sorter{options, {}, {}};
  sorter.keys.reserve(cells.size());
  sorter.texts.reserve(cells.size());
  size_t holes = 0;
  for (Operand& cell : cells) {
    if (!isHole(cell)) sorter.add(&cell, strings);
    else ++holes;
  }
  sorter.quicksort(0, long(sorter.keys.size()) - 1);
  // The elements move to their places (each keeps its reference); holes
  // have no place in an order: they go to the end.
  std::vector<Operand> sorted;
  sorted.reserve(cells.size());
  for (const SortKey& k : sorter.keys) sorted.push_back(*k.cell);
  sorted.resize(sorted.size() + holes);
  cells.swap(sorted);
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
    for (const Operand& cell : cellsOf(more)) {
      Operand v;
      if (!isHole(cell) && wouldHoldItself(list, cell)) deepCopy(v, cell);
      else if (!isHole(cell)) shareValue(v, cell);
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
      if (!isHole(cells[i]) && elementMatches(cells[i], value, partial, ignoreCase)) found = int(i);
    }
  }
  releaseValue(list);
  releaseValue(start);
  releaseValue(value);
  if (!message.empty()) return failLine(message);
  return assignLvalue(target, integerValue(found));
}

}  // namespace varlo
