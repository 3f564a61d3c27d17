// Handlers of the control-flow commands and of the internal statements,
// registered by commands.cpp.
#pragma once

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

}  // namespace varlo
