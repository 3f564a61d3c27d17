// JSON texts read by LE ... JSON and CONTEUDO(nome, "JSON"): the text is
// collected with its brackets checked and then evaluated as a script
// expression, so objects become dictionaries, arrays lists, strings strings
// (without backslash escapes) and numbers integers.
#pragma once

#include <functional>

#include "script/value.h"

namespace varlo {

// The next byte of the source, or -1 at its end.
using JsonSource = std::function<int()>;

// Collects from the source and evaluates. With stopWhenClosed the
// collection ends as soon as the outermost bracket closes (connections that
// never end by themselves); otherwise it reads to the end of the source.
// Gives invalid after reporting what was wrong.
Operand readJson(const JsonSource& source, bool stopWhenClosed);
Operand jsonFromText(std::string_view text);

}  // namespace varlo
