// Script values: reference-counted strings, dictionaries and lists.
#include "script/value.h"

#include <algorithm>
#include <cstdio>

#include "script/interp.h"
#include "script/output.h"

namespace varlo {

namespace {

// Nesting depth beyond which printing, comparing and copying stop
// descending, so that no value can exhaust the native stack.
constexpr int kMaxValueDepth = 200;

ObjectCounters counters;
ValueLimits limits;

ObjRec* newObject() {
  ++counters.objects;
  return new ObjRec;
}

// A list element stored at the end: taken over, and counted unless a hole.
void pushCell(std::vector<Operand>& cells, Operand&& v) {
  if (!isHole(v)) ++counters.listCells;
  cells.push_back(v);
  v = Operand{};
}

// Drops one reference to an object held by a cell or node being freed;
// objects that lose their last reference wait in `dead` (no recursion, so
// deeply nested values are freed without exhausting the native stack).
void dropChild(Operand& v, std::vector<ObjRec*>& dead) {
  if (isObject(v.tag) && v.obj && v.obj->refs > 0 && --v.obj->refs == 0) dead.push_back(v.obj);
  v = Operand{};
}

void destroyObject(ObjRec* root) {
  if (!root->firstNode && root->cells.empty()) {
    delete root;
    --counters.objects;
    return;
  }
  std::vector<ObjRec*> dead{root};
  while (!dead.empty()) {
    ObjRec* o = dead.back();
    dead.pop_back();
    DicNode* node = o->firstNode;
    while (node) {
      DicNode* next = node->next;
      dropChild(node->value, dead);
      delete node;
      --counters.dictNodes;
      node = next;
    }
    for (Operand& cell : o->cells) {
      if (isHole(cell)) continue;
      dropChild(cell, dead);
      --counters.listCells;
    }
    delete o;
    --counters.objects;
  }
}

// A list element emptied: its value released, the element left a hole.
void clearCell(Operand& cell) {
  if (isHole(cell)) return;
  releaseValue(cell);
  --counters.listCells;
}

DicNode* newNode(std::string_view key, Operand&& v) {
  ++counters.dictNodes;
  DicNode* node = new DicNode{std::string(key), v, nullptr};
  v = Operand{};
  return node;
}

void freeNode(DicNode* node) {
  releaseValue(node->value);
  delete node;
  --counters.dictNodes;
}

void appendQuoted(std::string& out, const std::string& text) {
  out += '"';
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

bool isHexDigit(char c, int& value) {
  if (c >= '0' && c <= '9') value = c - '0';
  else if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
  else if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
  else return false;
  return true;
}

bool containsValue(const Operand& list, const Operand& v) {
  for (const Operand& cell : cellsOf(list)) {
    if (!isHole(cell) && sameValue(cell, v)) return true;
  }
  return false;
}

// Below this size a walk along the order finds a key as fast as a look-up.
constexpr int32_t kIndexedSize = 16;

// Built aside and then kept, so that running out of memory half-way leaves
// the dictionary as it was.
void buildIndex(ObjRec* o) {
  auto index = std::make_unique<DictIndex>();
  index->reserve(size_t(o->count) * 2);
  for (DicNode* n = o->firstNode; n; n = n->next) index->emplace(n->key, n);
  o->index = std::move(index);
}

// The node goes into the index first: if that runs out of memory, the
// dictionary is left unchanged.
void linkNode(ObjRec* o, DicNode* node) {
  if (o->index) o->index->emplace(node->key, node);
  node->previous = o->lastNode;
  if (o->lastNode) o->lastNode->next = node;
  else o->firstNode = node;
  o->lastNode = node;
  ++o->count;
  if (!o->index && o->count >= kIndexedSize) buildIndex(o);
}

void unlinkNode(ObjRec* o, DicNode* node) {
  if (o->index) o->index->erase(node->key);
  if (o->lastFound == node) o->lastFound = nullptr;
  if (node->previous) node->previous->next = node->next;
  else o->firstNode = node->next;
  if (node->next) node->next->previous = node->previous;
  else o->lastNode = node->previous;
  --o->count;
}

// Takes the node out and gives its value.
Operand removeNode(ObjRec* o, DicNode* node) {
  unlinkNode(o, node);
  Operand v = node->value;
  node->value = Operand{};
  freeNode(node);
  return v;
}

}  // namespace

ObjectCounters objectCounters() { return counters; }
void resetObjectCounters() { counters = ObjectCounters{}; }
void setValueLimits(ValueLimits l) { limits = l; }
ValueLimits valueLimits() { return limits; }

bool fitsLimits(size_t listLength, size_t stringBytes) {
  if (listLength <= limits.maxListLength && stringBytes <= limits.maxStringBytes) return true;
  reportError(cp("Memória insuficiente"));
  return false;
}

std::string_view typeName(Tag tag) {
  static const std::string names[] = {cp("inválido"), "indefinido", "inteiro", "faixa",
                                      "cadeia",       cp("dicionário"), "lista"};
  return names[size_t(tag)];
}

Operand stringValue(std::string_view text) { return stringValue(std::string(text)); }

Operand stringValue(std::string&& text) {
  Operand v{Tag::string};
  v.obj = newObject();
  v.obj->text = std::move(text);
  return v;
}

Operand newDict() {
  Operand v{Tag::dict};
  v.obj = newObject();
  return v;
}

Operand newList() {
  Operand v{Tag::list};
  v.obj = newObject();
  return v;
}

void clearValue(Operand& v) { v = Operand{}; }

void makeValue(Operand& v, Tag tag) {
  switch (tag) {
    case Tag::integer: v = integerValue(0); break;
    case Tag::string: v = stringValue(std::string()); break;
    case Tag::dict: v = newDict(); break;
    case Tag::list: v = newList(); break;
    default: v = Operand{tag}; break;
  }
}

void shareValue(Operand& dst, const Operand& src) {
  dst = src;
  if (!isObject(src.tag)) return;
  if (!src.obj) {
    printLine("copyExpr: erro grave (de.pobj = NIL)");
    dst = Operand{};
    return;
  }
  ++src.obj->refs;
}

Operand shared(const Operand& src) {
  Operand v;
  shareValue(v, src);
  return v;
}

namespace {
void copyDeep(Operand& dst, const Operand& src, int depth);
}

void deepCopy(Operand& dst, const Operand& src) { copyDeep(dst, src, 0); }

namespace {
void copyDeep(Operand& dst, const Operand& src, int depth) {
  if (depth > kMaxValueDepth) {
    shareValue(dst, src);
    return;
  }
  switch (src.tag) {
    case Tag::string: dst = stringValue(std::string_view(textOf(src))); break;
    case Tag::dict: {
      dst = newDict();
      for (DicNode* n = src.obj->firstNode; n; n = n->next) {
        Operand copy;
        copyDeep(copy, n->value, depth + 1);
        dictSet(dst, n->key, std::move(copy));
      }
      break;
    }
    case Tag::list: {
      dst = newList();
      cellsOf(dst).reserve(cellsOf(src).size());
      for (const Operand& cell : cellsOf(src)) {
        if (isHole(cell)) continue;
        Operand copy;
        copyDeep(copy, cell, depth + 1);
        pushCell(cellsOf(dst), std::move(copy));
      }
      break;
    }
    default: dst = src; break;
  }
}
}  // namespace

void releaseObject(Operand& v) {
  ObjRec* o = v.obj;
  if (!o) {
    printLine("Erro GRAVE: pobj = NIL");
  } else if (o->refs == 0) {
    printLine(cp("Erro GRAVE: liberando expressão com nref = 0!"));
  } else if (--o->refs == 0) {
    destroyObject(o);
  }
  v = Operand{};
}

std::string integerText(int32_t n) { return std::to_string(n); }

namespace {
void appendText(std::string& out, const Operand& v, int depth);
}

void appendValueText(std::string& out, const Operand& v) { appendText(out, v, 0); }

namespace {
void appendText(std::string& out, const Operand& v, int depth) {
  if (depth > kMaxValueDepth && (v.tag == Tag::dict || v.tag == Tag::list)) {
    out += "...";
    return;
  }
  switch (v.tag) {
    case Tag::invalid:
    case Tag::undefined: out += typeName(v.tag); break;
    case Tag::integer: out += std::to_string(v.first); break;
    case Tag::range:
      out += '[' + std::to_string(v.first) + ':' + std::to_string(v.last) + ']';
      break;
    case Tag::string: out += textOf(v); break;
    case Tag::dict: {
      out += '{';
      for (DicNode* n = v.obj->firstNode; n; n = n->next) {
        if (n != v.obj->firstNode) out += ", ";
        appendQuoted(out, n->key);
        out += " : ";
        if (n->value.tag == Tag::string) appendQuoted(out, textOf(n->value));
        else appendText(out, n->value, depth + 1);
      }
      out += '}';
      break;
    }
    case Tag::list: {
      out += '[';
      bool firstCell = true;
      for (const Operand& cell : cellsOf(v)) {
        if (!firstCell) out += ", ";
        firstCell = false;
        if (!isHole(cell)) appendText(out, cell, depth + 1);
        else out += '?';
      }
      out += ']';
      break;
    }
  }
}
}  // namespace

std::string valueText(const Operand& v) {
  if (v.tag == Tag::string) return textOf(v);
  std::string out;
  appendValueText(out, v);
  return out;
}

bool parseInteger(std::string_view text, int32_t& out) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i >= text.size()) return false;
  int64_t value = 0;
  if (text[i] == '$') {
    if (++i >= text.size() || text.size() - i > 8) return false;
    for (; i < text.size(); ++i) {
      int digit;
      if (!isHexDigit(text[i], digit)) return false;
      value = value * 16 + digit;
    }
    value = int32_t(uint32_t(value));
  } else {
    for (; i < text.size(); ++i) {
      if (text[i] < '0' || text[i] > '9') return false;
      value = value * 10 + (text[i] - '0');
      if (value > int64_t(INT32_MAX) + 1) return false;
    }
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return false;
  out = int32_t(value);
  return true;
}

Operand toInteger(const Operand& v) {
  if (v.tag != Tag::string) return shared(v);
  int32_t n;
  return parseInteger(textOf(v), n) ? integerValue(n) : invalidValue();
}

Operand toStringValue(const Operand& v) {
  if (v.tag == Tag::invalid) return invalidValue();
  if (v.tag == Tag::string) return shared(v);
  return stringValue(valueText(v));
}

bool isTrue(const Operand& v) {
  switch (v.tag) {
    case Tag::integer: return v.first != 0;
    case Tag::range: return int64_t(v.last) != int64_t(v.first) - 1;
    case Tag::string: return !textOf(v).empty();
    case Tag::dict: return v.obj->count > 0;
    case Tag::list: return !cellsOf(v).empty();
    default: return false;
  }
}

namespace {
bool same(const Operand& a, const Operand& b, int depth);

int sublistAt(const Operand& needle, const Operand& haystack, int depth) {
  const auto& n = cellsOf(needle);
  const auto& h = cellsOf(haystack);
  if (n.size() > h.size()) return -1;
  for (size_t p = 0; p + n.size() <= h.size(); ++p) {
    size_t i = 0;
    for (; i < n.size(); ++i) {
      const Operand& x = h[p + i];
      const Operand& y = n[i];
      if (isHole(x) || isHole(y)) {
        if (!isHole(x) || !isHole(y)) break;
      } else if (!same(x, y, depth)) {
        break;
      }
    }
    if (i == n.size()) return int(p);
  }
  return -1;
}

bool same(const Operand& a, const Operand& b, int depth) {
  if (a.tag != b.tag) return false;
  if (depth > kMaxValueDepth && isObject(a.tag)) return a.obj == b.obj;
  switch (a.tag) {
    case Tag::undefined: return true;
    case Tag::integer: return a.first == b.first;
    case Tag::range: return a.first == b.first && a.last == b.last;
    case Tag::string: return textOf(a) == textOf(b);
    case Tag::dict: {
      if (a.obj == b.obj) return true;
      if (a.obj->count != b.obj->count) return false;
      for (DicNode* n = a.obj->firstNode; n; n = n->next) {
        DicNode* other = dictFind(b, n->key);
        if (!other || !same(n->value, other->value, depth + 1)) return false;
      }
      return true;
    }
    case Tag::list:
      return a.obj == b.obj ||
             (cellsOf(a).size() == cellsOf(b).size() && sublistAt(a, b, depth + 1) == 0);
    default: return false;
  }
}
}  // namespace

bool sameValue(const Operand& a, const Operand& b) { return same(a, b, 0); }

int sublistIndex(const Operand& needle, const Operand& haystack) {
  return sublistAt(needle, haystack, 0);
}

namespace {
bool reaches(const Operand& value, const ObjRec* target, int depth) {
  if (value.tag != Tag::dict && value.tag != Tag::list) return false;
  if (value.obj == target || depth > kMaxValueDepth) return true;
  for (DicNode* n = value.obj->firstNode; n; n = n->next) {
    if (reaches(n->value, target, depth + 1)) return true;
  }
  for (const Operand& cell : value.obj->cells) {
    if (!isHole(cell) && reaches(cell, target, depth + 1)) return true;
  }
  return false;
}
}  // namespace

bool wouldHoldItself(const Operand& container, const Operand& value) {
  return isObject(container.tag) && reaches(value, container.obj, 0);
}

// Dictionaries.

bool keyText(const Operand& key, std::string& out) {
  if (key.tag == Tag::integer) out = std::to_string(key.first);
  else if (key.tag == Tag::string) out = textOf(key);
  else return false;
  return true;
}

// A key is often looked for again at once (D[K] read, then written), so the
// node found last is tried first.
DicNode* dictFind(const Operand& d, std::string_view key) {
  ObjRec* o = d.obj;
  if (o->lastFound && o->lastFound->key == key) return o->lastFound;
  DicNode* found = nullptr;
  if (const DictIndex* index = o->index.get()) {
    auto at = index->find(key);
    if (at != index->end()) found = at->second;
  } else {
    for (DicNode* n = o->firstNode; n && !found; n = n->next) {
      if (n->key == key) found = n;
    }
  }
  if (found) o->lastFound = found;
  return found;
}

Operand dictGet(const Operand& d, std::string_view key) {
  DicNode* n = dictFind(d, key);
  return n ? shared(n->value) : undefinedValue();
}

void dictSet(Operand& d, std::string_view key, Operand&& value) {
  if (value.tag == Tag::invalid) return;
  if (DicNode* n = dictFind(d, key)) {
    releaseValue(n->value);
    n->value = value;
    value = Operand{};
    return;
  }
  linkNode(d.obj, newNode(key, std::move(value)));
}

Operand dictRemoveKey(Operand& d, std::string_view key) {
  DicNode* n = dictFind(d, key);
  return n ? removeNode(d.obj, n) : undefinedValue();
}

Operand dictPopLast(Operand& d) {
  ObjRec* o = d.obj;
  return o->lastNode ? removeNode(o, o->lastNode) : undefinedValue();
}

void dictSetMany(Operand& d, const Operand& keys, const Operand& value) {
  std::string key;
  switch (keys.tag) {
    case Tag::range: {
      int step = keys.last >= keys.first ? 1 : -1;
      for (int64_t k = keys.first;; k += step) {
        dictSet(d, std::to_string(k), shared(value));
        if (k == keys.last) break;
      }
      break;
    }
    case Tag::dict:
      for (DicNode* n = keys.obj->firstNode; n; n = n->next) dictSet(d, n->key, shared(value));
      break;
    case Tag::list:
      for (const Operand& cell : cellsOf(keys)) {
        if (!isHole(cell) && keyText(cell, key)) dictSet(d, key, shared(value));
      }
      break;
    default:
      if (keyText(keys, key)) dictSet(d, key, shared(value));
      break;
  }
}

Operand dictUnion(const Operand& a, const Operand& b) {
  Operand r = newDict();
  for (DicNode* n = a.obj->firstNode; n; n = n->next) dictSet(r, n->key, shared(n->value));
  for (DicNode* n = b.obj->firstNode; n; n = n->next) dictSet(r, n->key, shared(n->value));
  return r;
}

Operand dictDifference(const Operand& a, const Operand& b) {
  Operand r = newDict();
  for (DicNode* n = a.obj->firstNode; n; n = n->next) {
    DicNode* other = dictFind(b, n->key);
    if (!other || !sameValue(n->value, other->value)) dictSet(r, n->key, shared(n->value));
  }
  return r;
}

Operand dictIntersection(const Operand& a, const Operand& b) {
  Operand r = newDict();
  for (DicNode* n = a.obj->firstNode; n; n = n->next) {
    DicNode* other = dictFind(b, n->key);
    if (other && sameValue(n->value, other->value)) dictSet(r, n->key, shared(n->value));
  }
  return r;
}

// Lists.

Operand listGet(const Operand& l, int32_t i) {
  const auto& cells = cellsOf(l);
  if (i < 0 || size_t(i) >= cells.size() || isHole(cells[size_t(i)])) return undefinedValue();
  return shared(cells[size_t(i)]);
}

void listAppend(Operand& l, Operand&& v) {
  auto& cells = cellsOf(l);
  if (!fitsLimits(cells.size() + 1, 0)) {
    releaseValue(v);
    return;
  }
  pushCell(cells, std::move(v));
}

void listSet(Operand& l, int32_t i, Operand&& v) {
  auto& cells = cellsOf(l);
  if (i < 0) {
    releaseValue(v);
  } else if (size_t(i) >= cells.size()) {
    listAppend(l, std::move(v));
  } else {
    Operand& cell = cells[size_t(i)];
    clearCell(cell);
    if (!isHole(v)) ++counters.listCells;
    cell = v;
    v = Operand{};
  }
}

void listInsert(Operand& l, int32_t i, Operand&& v) {
  auto& cells = cellsOf(l);
  if (!fitsLimits(cells.size() + 1, 0)) {
    releaseValue(v);
    return;
  }
  size_t at = i < 0 ? 0 : std::min(size_t(i), cells.size());
  if (!isHole(v)) ++counters.listCells;
  cells.insert(cells.begin() + ptrdiff_t(at), v);
  v = Operand{};
}

Operand listTake(Operand& l, int32_t i) {
  auto& cells = cellsOf(l);
  if (i < 0 || size_t(i) >= cells.size()) return undefinedValue();
  Operand v = cells[size_t(i)];  // taken over from the list
  cells.erase(cells.begin() + i);
  if (isHole(v)) return undefinedValue();
  --counters.listCells;
  return v;
}

int listIndexOf(const Operand& l, int32_t start, const Operand& v) {
  const auto& cells = cellsOf(l);
  for (size_t i = size_t(std::max(start, 0)); i < cells.size(); ++i) {
    if (!isHole(cells[i]) && sameValue(cells[i], v)) return int(i);
  }
  return -1;
}

Operand listConcat(const Operand& a, const Operand& b) {
  if (!fitsLimits(cellsOf(a).size() + cellsOf(b).size(), 0)) return invalidValue();
  Operand r = newList();
  cellsOf(r).reserve(cellsOf(a).size() + cellsOf(b).size());
  for (const Operand& cell : cellsOf(a)) pushCell(cellsOf(r), shared(cell));
  for (const Operand& cell : cellsOf(b)) pushCell(cellsOf(r), shared(cell));
  return r;
}

Operand listDifference(const Operand& a, const Operand& b) {
  Operand r = newList();
  for (const Operand& cell : cellsOf(a)) {
    if (!isHole(cell) && !containsValue(b, cell)) pushCell(cellsOf(r), shared(cell));
  }
  return r;
}

Operand listIntersection(const Operand& a, const Operand& b) {
  Operand r = newList();
  for (const Operand& cell : cellsOf(a)) {
    if (!isHole(cell) && containsValue(b, cell)) pushCell(cellsOf(r), shared(cell));
  }
  return r;
}

}  // namespace varlo
