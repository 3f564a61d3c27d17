// The problem reporter of the lower layers: printing until the talking layer
// hands in one that speaks as well.
#include "sound/problem_report.h"

#include <string>

#include "console/console.h"

namespace varlo {

namespace {

void printLine(std::string_view text) { writeText(std::string(text) + "\r\n"); }

ProblemReporter reporter = printLine;

}  // namespace

void setProblemReporter(ProblemReporter given) { reporter = given ? given : printLine; }

void reportProblem(std::string_view text) { reporter(text); }

}  // namespace varlo
