// Functions of one line computed in place. A call of a function whose body
// is RETORNA of integer arithmetic, on its parameters and on variables that
// are not locals, with integer arguments: its value comes from the RETORNA
// line's arithmetic over the arguments, without the frame pushed and popped,
// the parameters declared and the two lines looked up one by one. The
// arithmetic runs quietly on the stack machine, the parameters read from the
// arguments.
#include "script/interp.h"
#include "script/plan.h"

namespace varlo {

// What was found of the RETORNA line: whether its arithmetic reads only the
// parameters and variables that are not locals (a local would live in a
// frame there is none of).
struct InlineCode {
  bool usable = false;           // false: the body is of another shape
  uint32_t generation = 0;
  const LinePlan* body = nullptr;  // the next line's plan when compiled
  uint8_t bodyQuick = qkNone;      // and its quick form then
};

namespace {

// A name the body reads: a parameter of the function or a variable
// outside it, with a cell.
bool readableInPlace(const SymtbEntry* e, const SymtbEntry& f, size_t parameters) {
  if (!e || e->kind != skVariable) return false;
  if (e->owner) return e->owner == &f && e->wordA < 0 && size_t(-e->wordA) <= parameters;
  return boundCell(const_cast<SymtbEntry*>(e)) != nullptr;
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
  if (body.quick != qkReturn || !plainExpression(body, body.expression) || !pinnedFor(body, f.home, &f)) {
    return inlined;
  }
  for (const NameSlot& s : body.chunk.names) {
    if (s.use == nuValue && !readableInPlace(s.entry, f, head.parameters.size())) return inlined;
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
  const LinePlan& body = *head.inlined->body;
  if (!quietInteger(body.chunk, body.expression, arguments, out)) return ipNever;
  if (!countedQuietly(2)) return ipNotNow;
  thePlannedCount += 2;
  return ipMade;
}

}  // namespace varlo
