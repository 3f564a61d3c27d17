// Integer arithmetic of compiled plans over the variables' cells.
#include "script/plan_cells.h"

#include "script/expr.h"

namespace varlo {

namespace {

// The integer of a leaf step (false for anything else).
[[gnu::always_inline]] inline bool leafInteger(const CellStep& s, int32_t& out) {
  if (s.kind == isNumber) {
    out = s.integer;
    return true;
  }
  if (s.kind == isName) return cellInteger(*s.cell, out);
  // Elements are read from lists only: a dictionary's look-up would make
  // this evaluation call out, and slow it for every other leaf.
  return cellListElement(*s.cell, s.index, s.integer, out);
}

}  // namespace

bool addedCellValue(std::vector<CellStep>& steps, const LinePlan& plan, uint32_t node, CellValue& out) {
  const PlanNode& n = plan.nodes[node];
  out.first = uint32_t(steps.size());
  if (plainIntegers(n)) {
    for (uint32_t k = 0; k < n.count; ++k) {
      const IntegerStep& s = plan.steps[n.first + k];
      steps.push_back({s.kind, s.op, s.integer, s.named, s.indexNamed});
    }
  } else if (n.kind == pnInteger) {
    steps.push_back({isNumber, opNone, n.integer});
  } else if (n.kind == pnName) {
    steps.push_back({isName, opNone, 0, n.entry});
  } else {
    return false;
  }
  out.count = uint32_t(steps.size()) - out.first;
  return true;
}

bool boundCells(std::vector<CellStep>& steps) {
  for (CellStep& s : steps) {
    if (s.kind != isName && s.kind != isElement) continue;
    s.cell = boundCell(s.named);
    if (!s.cell || (s.indexNamed && !(s.index = boundCell(s.indexNamed)))) return false;
  }
  return true;
}

bool valueFromCells(const std::vector<CellStep>& steps, CellValue v, int32_t& out) {
  const CellStep* s = steps.data() + v.first;
  if (v.count == 1) return leafInteger(s[0], out);
  int32_t x, y;
  if (v.count == 2) return leafInteger(s[0], x) && leafInteger(s[1], y) && integerOperator(s[1].op, x, y, out);
  int32_t stack[kIntegerStackDepth];
  int top = -1;
  auto leaf = [](const CellStep& step, int32_t& value) { return leafInteger(step, value); };
  for (const CellStep* end = s + v.count; s != end; ++s) {
    if (!stackStep(*s, leaf, stack, top)) return false;
  }
  out = stack[0];
  return true;
}

}  // namespace varlo
