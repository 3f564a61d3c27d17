// Integer arithmetic of compiled plans read straight from the variables'
// cells: the postfix steps of a plan's tree copied with the entries their
// names had when the plan was checked, bound to cells before each run (a
// function's locals live in its frame, so cells change from call to call).
#pragma once

#include <cstdint>
#include <vector>

#include "script/plan.h"

namespace varlo {

struct CellStep {
  uint8_t kind = isNumber;
  uint8_t op = opNone;
  int32_t integer = 0;
  SymtbEntry* named = nullptr;
  SymtbEntry* indexNamed = nullptr;
  const VarCell* cell = nullptr;
  const VarCell* index = nullptr;
};

// The steps that compute one value.
struct CellValue {
  uint32_t first = 0, count = 0;
};

// The steps of node `node` of a plan (a tree of integer arithmetic that
// calls nothing, a number or a name) added to `steps`; false for anything else.
bool addedCellValue(std::vector<CellStep>& steps, const LinePlan& plan, uint32_t node, CellValue& out);

// Every name of the steps bound to its cell; false when one has none.
bool boundCells(std::vector<CellStep>& steps);

// The integer a value's steps compute; false where the general evaluation
// must decide (a value other than an integer, division by zero).
bool valueFromCells(const std::vector<CellStep>& steps, CellValue v, int32_t& out);

}  // namespace varlo
