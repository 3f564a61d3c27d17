// The symbol table: every name the script language knows (commands,
// built-in functions, variables, labels, user functions, module aliases) in
// 4001 hash buckets, with the scope rules of scripts and functions.
// All names are passed folded (lexer.h: fold).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/value.h"

namespace varlo {

enum SymKind : uint8_t {
  skNew = 0, skCommand = 1, skIf = 2, skIfLine = 3, skElse = 4, skElseIf = 5,
  skFunctionCmd = 6, skLoop = 7, skBreak = 8, skContinue = 9, skEnd = 10,
  skLabel = 11, skVariable = 12, skModule = 13, skBuiltin = 14, skFunction = 15
};
std::string_view kindName(uint8_t kind);  // "comando", "variável", ...

constexpr int kBuckets = 4001;
constexpr int32_t kAllScripts = -1;

struct SymtbEntry;
// A command handler starts with the token after the command word current,
// reads its operands from the lexer and returns success.
using CommandHandler = bool (*)();
// A built-in function finds its arguments with argument(i) and stores its
// result with setResult (interp.h).
using BuiltinHandler = bool (*)(const SymtbEntry& self);

// A variable: the value, and the position when it runs a PARA ... EM loop.
struct VarCell {
  int32_t position = -1;
  Operand value;
};

struct SymtbEntry {
  std::string name;
  int32_t script = kAllScripts;
  SymtbEntry* owner = nullptr;
  SymtbEntry* nextCreated = nullptr;
  SymtbEntry* chainNext = nullptr;
  SymtbEntry* chainPrev = nullptr;
  uint8_t kind = skNew;
  // data: one of these, by kind
  CommandHandler command = nullptr;  // kinds 1-10
  BuiltinHandler builtin = nullptr;  // kind 14
  int32_t line = 0;                  // label line; FUNCAO line
  VarCell* cell = nullptr;           // global variable (created on first use)
  int32_t wordA = 0;  // frame slot; module's script; built-in's parameter count; FIM FUNCAO line
  int32_t wordB = 0;  // built-in flags; user function's parameter count
  int32_t wordC = 0;  // user function's local count
  // User function: the script whose lines are its body (a $ name is seen
  // from every script, but its body stays where it was written).
  int32_t home = 0;
};

// Built-in flag bits (wordB).
constexpr int32_t kBuiltinHashAllowed = 1;
constexpr int32_t kBuiltinNeedsParens = 2;

uint32_t hashName(std::string_view name);
SymtbEntry* resolve(int32_t script, const SymtbEntry* function, std::string_view name);
SymtbEntry* resolveHashed(int32_t script, const SymtbEntry* function,
                          std::string_view name, uint32_t bucket);
SymtbEntry* findOrCreate(int32_t script, SymtbEntry* owner, std::string_view name, bool create);
SymtbEntry* findCommand(std::string_view name);
SymtbEntry* declareLocal(int32_t script, SymtbEntry* function, std::string_view name, int32_t slot);
// The second half of declareLocal, on the entry findOrCreate gave.
SymtbEntry* declareLocalEntry(SymtbEntry* entry, std::string_view name, int32_t slot);
bool defineLabel(int32_t script, SymtbEntry* function, std::string_view name, int32_t line);
int32_t findLabel(int32_t script, SymtbEntry* function, std::string_view name);
void removeScript(int32_t script);
int longestChain();
void clearTable();
bool tableIsEmpty();
void registerCommand(SymtbEntry* entry);
// Entries in creation order (for the symbol dump).
SymtbEntry* firstCreated();
// Every global variable back to its never-assigned state (memory ran out).
void releaseVariableValues();
// Changes whenever an entry is added or removed: cached look-ups compare it
// (on every name of a pre-analysed line, hence inline).
extern uint32_t theTableGeneration;
inline uint32_t tableGeneration() { return theTableGeneration; }

// The global variable cell of an entry of kind 12 at script level, created
// with an invalid value on first use.
VarCell& newGlobalCell(SymtbEntry& entry);
inline VarCell& globalCell(SymtbEntry& entry) { return entry.cell ? *entry.cell : newGlobalCell(entry); }

}  // namespace varlo
