// The symbol table: 4001 doubly linked bucket chains and one list of all
// entries in creation order.
#include "script/symbols.h"

#include <array>
#include <new>

#include "script/interp.h"

namespace varlo {

uint32_t theTableGeneration = 1;

namespace {

struct Table {
  std::array<SymtbEntry*, kBuckets> buckets{};
  SymtbEntry* firstCreated = nullptr;
  SymtbEntry* lastCreated = nullptr;
};
Table table;

bool isCommandKind(uint8_t kind) { return kind >= skCommand && kind <= skEnd; }

void unlinkFromChain(SymtbEntry* e, uint32_t bucket) {
  if (e->chainPrev) e->chainPrev->chainNext = e->chainNext;
  else table.buckets[bucket] = e->chainNext;
  if (e->chainNext) e->chainNext->chainPrev = e->chainPrev;
  e->chainNext = e->chainPrev = nullptr;
}

void destroyEntry(SymtbEntry* e) {
  if (e->cell) {
    releaseValue(e->cell->value);
    delete e->cell;
  }
  delete e;
}

}  // namespace

std::string_view kindName(uint8_t kind) {
  static const std::string names[] = {
      cp("indefinido"), "comando", "comando", "comando", "comando", "comando",
      "comando", "comando", "comando", "comando", "comando", cp("rótulo"),
      cp("variável"), cp("referência a módulo"), cp("função nativa"), cp("função")};
  return kind < 16 ? std::string_view(names[kind]) : std::string_view("?");
}

uint32_t hashName(std::string_view name) {
  uint64_t h = 0;
  for (unsigned char c : name) h = (h << 1) ^ c;
  return uint32_t(h % kBuckets);
}

SymtbEntry* resolveHashed(int32_t script, const SymtbEntry* function,
                          std::string_view name, uint32_t bucket) {
  SymtbEntry* owned = nullptr;
  SymtbEntry* plain = nullptr;
  for (SymtbEntry* e = table.buckets[bucket]; e; e = e->chainNext) {
    if (e->name != name || (e->script != kAllScripts && e->script != script)) continue;
    if (function && e->owner == function) owned = e;
    else if (!e->owner) plain = e;
  }
  return owned ? owned : plain;
}

SymtbEntry* resolve(int32_t script, const SymtbEntry* function, std::string_view name) {
  return resolveHashed(script, function, name, hashName(name));
}

SymtbEntry* findOrCreate(int32_t script, SymtbEntry* owner, std::string_view name, bool create) {
  uint32_t bucket = hashName(name);
  SymtbEntry* tail = nullptr;
  for (SymtbEntry* e = table.buckets[bucket]; e; e = e->chainNext) {
    tail = e;
    if (e->name != name) continue;
    if (isCommandKind(e->kind) || e->kind == skBuiltin) return e;
    if ((e->script == kAllScripts || e->script == script) && e->owner == owner) return e;
  }
  if (!create) return nullptr;
  SymtbEntry* e = new (std::nothrow) SymtbEntry;
  if (!e) {
    reportError(cp("Memória insuficiente"));
    return nullptr;
  }
  e->name.assign(name);
  e->script = (!owner && !name.empty() && name[0] == '$') ? kAllScripts : script;
  e->owner = owner;
  e->chainPrev = tail;
  if (tail) tail->chainNext = e;
  else table.buckets[bucket] = e;
  if (table.lastCreated) table.lastCreated->nextCreated = e;
  else table.firstCreated = e;
  table.lastCreated = e;
  ++theTableGeneration;
  return e;
}

SymtbEntry* findCommand(std::string_view name) {
  for (SymtbEntry* e = table.buckets[hashName(name)]; e; e = e->chainNext) {
    if (isCommandKind(e->kind) && e->name == name) return e;
  }
  return nullptr;
}

SymtbEntry* declareLocal(int32_t script, SymtbEntry* function, std::string_view name, int32_t slot) {
  return declareLocalEntry(findOrCreate(script, function, name, true), name, slot);
}

SymtbEntry* declareLocalEntry(SymtbEntry* e, std::string_view name, int32_t slot) {
  if (!e) return nullptr;
  if (e->kind != skNew && e->kind != skVariable) {
    reportError(quoted(name) + cp(" é identificador de ") + std::string(kindName(e->kind)) +
                cp(", não pode ser uma variável local ou parâmetro"));
    return nullptr;
  }
  e->kind = skVariable;
  e->wordA = slot;
  return e;
}

bool defineLabel(int32_t script, SymtbEntry* function, std::string_view name, int32_t line) {
  SymtbEntry* e = findOrCreate(script, function, name, true);
  if (!e) return false;
  if (e->kind == skNew) {
    e->kind = skLabel;
    e->line = line;
    return true;
  }
  if (e->kind == skLabel) {
    reportError(cp("Rótulo ") + quoted(name) + cp(" já foi definido na linha ") +
                std::to_string(e->line));
  }
  return false;
}

int32_t findLabel(int32_t script, SymtbEntry* function, std::string_view name) {
  std::string label(name);
  if (label.empty() || label[0] != '@') label.insert(label.begin(), '@');
  SymtbEntry* e = findOrCreate(script, function, fold(label), false);
  return e && e->kind == skLabel ? e->line : -1;
}

void removeScript(int32_t script) {
  SymtbEntry* previous = nullptr;
  SymtbEntry* e = table.firstCreated;
  while (e) {
    SymtbEntry* next = e->nextCreated;
    if (e->script == script || (e->kind == skFunction && e->home == script)) {
      unlinkFromChain(e, hashName(e->name));
      if (previous) previous->nextCreated = next;
      else table.firstCreated = next;
      if (table.lastCreated == e) table.lastCreated = previous;
      destroyEntry(e);
      ++theTableGeneration;
    } else {
      previous = e;
    }
    e = next;
  }
}

int longestChain() {
  int longest = 0;
  for (SymtbEntry* head : table.buckets) {
    int n = 0;
    for (SymtbEntry* e = head; e; e = e->chainNext) ++n;
    if (n > longest) longest = n;
  }
  return longest;
}

void clearTable() {
  for (SymtbEntry*& head : table.buckets) {
    SymtbEntry* e = head;
    while (e) {
      SymtbEntry* next = e->chainNext;
      // Registered commands are not in the creation list: free them here.
      if (e->script == kAllScripts && (isCommandKind(e->kind) || e->kind == skBuiltin)) {
        destroyEntry(e);
      }
      e = next;
    }
    head = nullptr;
  }
  SymtbEntry* e = table.firstCreated;
  while (e) {
    SymtbEntry* next = e->nextCreated;
    destroyEntry(e);
    e = next;
  }
  table.firstCreated = table.lastCreated = nullptr;
  ++theTableGeneration;
}

bool tableIsEmpty() { return table.firstCreated == nullptr; }

void registerCommand(SymtbEntry* entry) {
  uint32_t bucket = hashName(entry->name);
  entry->script = kAllScripts;
  entry->chainPrev = nullptr;
  entry->chainNext = table.buckets[bucket];
  if (entry->chainNext) entry->chainNext->chainPrev = entry;
  table.buckets[bucket] = entry;
  ++theTableGeneration;
}

SymtbEntry* firstCreated() { return table.firstCreated; }

void releaseVariableValues() {
  for (SymtbEntry* e = table.firstCreated; e; e = e->nextCreated) {
    if (!e->cell) continue;
    releaseValue(e->cell->value);
    *e->cell = VarCell{};
  }
}

VarCell& newGlobalCell(SymtbEntry& entry) {
  entry.cell = new VarCell;
  return *entry.cell;
}

}  // namespace varlo
