// The command table and the built-in function table.
//
// Every command name of the language is registered in the symbol table at
// start-up (script key -1) with its kind, so scripts compile and the names
// stay reserved. A command without an implementation reports
// "Comando <NOME> ainda não disponível" and fails.
//
// HOW TO ADD A COMMAND
//   1. Write the handler in a file src/script/cmd_<group>.cpp:
//        bool cmdSoma() { ... }            // namespace varlo
//      It is entered with the token after the command word current
//      (theToken, lexer.h). Read operands with evaluate/evaluateAs and
//      parseLvalue/assignLvalue (expr.h), modifiers with isWord("MUDO") and
//      scan(). Report with fail(cp("mensagem")) (interp.h), which prints
//      through the error reporter and returns false; set the I/O status with
//      setIoStatus. Print with printLine/printText/printSilent (output.h).
//      Leave the token after your last operand current: the driver reports
//      "A linha deveria terminar onde aparece ..." for anything left over.
//      Release every Operand you evaluated (releaseValue) or hand it over.
//   2. Add {"SOMA", cmdSoma} to kCommandImpls in src/script/cmd_table.cpp.
//      The name must be one of the registered names (commandNames()).
//
// HOW TO ADD A BUILT-IN FUNCTION
//   1. Write bool fnTamanho(const SymtbEntry& self) in
//      src/script/builtin_<group>.cpp. Arguments are argument(1) ...
//      argument(argumentCount()) (undefined when not given; the handler may
//      take them over with std::move + clear); store the result with
//      setResult(value) (it starts undefined). Returning false makes the
//      call give undefined, with no message of its own.
//   2. Add {"TAMANHO", fnTamanho, 1, 0} (name, handler, parameter count,
//      flags kBuiltinHashAllowed / kBuiltinNeedsParens) to kBuiltinImpls in
//      src/script/builtin_table.cpp.
//
// The interpreter reset calls resetCommandState() (cmd_table.cpp): close the
// 16 descriptors and whatever else the commands keep open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/symbols.h"

namespace varlo {

struct CommandImpl {
  const char* name;
  CommandHandler handler;
};

struct BuiltinImpl {
  const char* name;
  BuiltinHandler handler;
  int32_t parameters;
  int32_t flags;
};

// Filled by the command set (cmd_table.cpp, builtin_table.cpp).
extern const CommandImpl kCommandImpls[];
extern const size_t kCommandImplCount;
extern const BuiltinImpl kBuiltinImpls[];
extern const size_t kBuiltinImplCount;
void resetCommandState();

// Registers every command and built-in function in the symbol table (after
// clearTable). Called by resetInterpreter.
void registerCommands();
// The registered command names, sorted.
std::vector<std::string> commandNames();
// Installs or replaces a handler at run time (tests, extensions); false when
// the name is no command.
bool setCommandHandler(std::string_view name, CommandHandler handler);
// Adds a built-in function at run time; false when the name is taken.
bool addBuiltin(const BuiltinImpl& impl);
// Whether `f` is a built-in function that takes nothing, does nothing and
// always gives the same value (INDEFINIDO, VERDADEIRO, FALSO), and that value.
bool builtinConstant(const SymtbEntry& f, Operand& value);

// The internal statements the driver uses (kept outside the table).
SymtbEntry& oneLineIfStatement();
SymtbEntry& assignOrCallStatement();
SymtbEntry& expressionStatement();
SymtbEntry& returnCommand();

}  // namespace varlo
