// Handlers of the control-flow commands and of the internal statements,
// registered by commands.cpp.
#pragma once

#include "script/symbols.h"
#include "script/value.h"

namespace varlo {

// Blocks and loops.
bool cmdIf();
bool cmdOneLineIf();
bool cmdElse();
bool cmdWhile();
bool cmdFor();
bool cmdRepeat();
bool cmdEnd();
bool cmdBreak();
bool cmdContinue();

// Functions, subroutines and ends.
bool cmdFunction();
bool cmdLocal();
bool cmdReturn();
bool cmdGoto();
bool cmdCall();
bool cmdTerminate();
bool cmdCmd();
bool cmdImport();

// Assignments and expressions.
bool cmdAssignOrCall();
bool cmdExpression();
bool cmdLet();
bool cmdDestroy();

// A condition holds for a non-zero integer, a non-empty string, dictionary
// or list.
bool conditionHolds(const Operand& v);

// Pieces of the statements shared with pre-analysed lines (plan.h).
// One-line SE after its condition: the statement that follows, if it holds.
bool oneLineIfRest(bool holds);
// The domain of PARA v EM value (taken over); false with a message when
// the value cannot be iterated.
bool iteratorDomain(Operand&& v, Operand& domain);
// PARA v DE a ATE b: both bounds must be integers (takes them over).
bool integerBounds(Operand&& a, Operand&& b);
Operand boundsDomain(int32_t first, int32_t last, bool downward);
// The PARA line's variable runs through the domain (taken over); an empty
// one skips the loop.
void startIterator(SymtbEntry& variable, Operand&& domain);
// FIM PARA on a running iterator: the next value, or the loop ends.
void advanceIterator(VarCell& cell, int32_t loopLine);
// RETORNA with its value (taken over).
bool returnWith(Operand&& value);
// FUNCAO reached by a call: the function becomes current (the parameters
// are declared by the caller of this).
bool enteringFunction(SymtbEntry*& function);

}  // namespace varlo
