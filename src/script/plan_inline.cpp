// Functions of one line computed in place. A call of a function whose body
// is RETORNA of integer arithmetic, on its parameters and on variables that
// are not locals, with integer arguments: its value comes from the RETORNA
// line's arithmetic over the arguments, without the frame pushed and popped,
// the parameters declared and the two lines looked up one by one. The
// arithmetic is kept compiled on the FUNCAO line's plan.
#include "script/interp.h"
#include "script/plan.h"
#include "script/plan_cells.h"

namespace varlo {

// The RETORNA line's arithmetic with its names bound once: the parameters
// to cells that each call fills with its arguments (nothing else runs while
// they are read), the variables to their own cells (a variable's cell, once
// made, stays while the table does).
struct InlineCode {
  bool usable = false;           // false: the body is of another shape
  uint32_t generation = 0;
  const LinePlan* body = nullptr;  // the next line's plan when compiled
  uint8_t bodyQuick = qkNone;      // and its quick form then
  std::vector<CellStep> steps;
  CellValue value;
  std::vector<VarCell> arguments;
};

namespace {

// The parameter of `plan` (a FUNCAO line) that `e` is, or -1.
int8_t parameterIndex(const LinePlan& plan, const SymtbEntry* e) {
  for (size_t k = 0; k < plan.parameters.size(); ++k) {
    if (plan.parameters[k].entry == e) return int8_t(k);
  }
  return -1;
}

// A name other than a parameter is read from the cell of a variable
// outside the function: a local would live in a frame there is none of.
bool boundOutside(CellStep& s) {
  if (s.kind != isName && s.kind != isElement) return true;
  if ((s.named && s.named->owner) || (s.indexNamed && s.indexNamed->owner)) return false;
  s.cell = boundCell(s.named);
  if (s.indexNamed) s.index = boundCell(s.indexNamed);
  return s.cell && (!s.indexNamed || s.index);
}

std::shared_ptr<InlineCode> compiled(const ScriptRec& r, const CodeRec& code, const LinePlan& head,
                                     const SymtbEntry& f) {
  auto inlined = std::make_shared<InlineCode>();
  inlined->generation = tableGeneration();
  int32_t at = code.next;
  if (at <= 0 || at > r.lastLine) return inlined;
  const CodeRec& next = r.lines[size_t(at)];
  if (next.planState != plPlanned) return nullptr;  // not yet planned: looked at again later
  const LinePlan& body = *next.plan;
  inlined->body = &body;
  inlined->bodyQuick = body.quick;
  if (body.quick != qkReturn || body.expression == kNoNode || !pinnedFor(body, f.home, &f) ||
      !addedCellValue(inlined->steps, body, body.expression, inlined->value)) {
    return inlined;
  }
  inlined->arguments.assign(head.parameters.size(), VarCell{-1, integerValue(0)});
  for (CellStep& s : inlined->steps) {
    int8_t parameter = s.kind == isName ? parameterIndex(head, s.named) : int8_t(-1);
    if (parameter >= 0) {
      s.cell = &inlined->arguments[size_t(parameter)];
    } else if (!boundOutside(s)) {
      return inlined;
    }
  }
  inlined->usable = true;
  return inlined;
}

// Whether the compiled form still is what the next line's plan says.
bool stillInline(const ScriptRec& r, const CodeRec& code, const InlineCode& inlined) {
  if (inlined.generation != tableGeneration()) return false;
  if (!inlined.body) return true;  // a FUNCAO on the last line
  const CodeRec& next = r.lines[size_t(code.next)];
  return next.plan.get() == inlined.body && inlined.body->quick == inlined.bodyQuick;
}

}  // namespace

InPlaceCall calledInPlace(SymtbEntry& f, const int32_t* arguments, int count, int32_t& out) {
  if (f.kind != skFunction) return ipNever;
  ScriptRec& r = scriptSlot(f.home);
  if (!thePlansEnabled || !theInterp.reportErrors || r.trace || f.line <= 0 || f.line > r.lastLine) return ipNotNow;
  CodeRec& code = r.lines[size_t(f.line)];
  if (code.planState != plPlanned || code.function != &f) return ipNotNow;
  LinePlan& head = *code.plan;
  bool known = head.inlined && stillInline(r, code, *head.inlined);
  if (head.quick != qkFunction || head.parameters.size() != size_t(count) || (known && !head.inlined->usable)) {
    return ipNever;  // a body of another shape, or arguments it cannot take
  }
  // The checks the call would make before its lines run.
  if (!pinnedFor(head, f.home, &f) || !quickParameters(head) || !callWouldRun(count)) return ipNotNow;
  if (!known) head.inlined = compiled(r, code, head, f);
  if (!head.inlined) return ipNotNow;
  if (!head.inlined->usable) return ipNever;
  InlineCode& inlined = *head.inlined;
  for (int k = 0; k < count; ++k) inlined.arguments[size_t(k)].value.first = arguments[k];
  if (!valueFromCells(inlined.steps, inlined.value, out)) return ipNever;
  if (!countedQuietly(2)) return ipNotNow;
  thePlannedCount += 2;
  return ipMade;
}

}  // namespace varlo
