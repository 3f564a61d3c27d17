// How the layers below the talking layer tell the user about a problem they
// met (a WAV that could not be joined, a voice file that cannot be written):
// a line printed on the console, and spoken once the talking layer has put
// its own reporter in.
#pragma once

#include <string_view>

namespace varlo {

using ProblemReporter = void (*)(std::string_view text);
// nullptr puts back the printing-only reporter.
void setProblemReporter(ProblemReporter reporter);
// The text (Windows-1252) as a line of its own.
void reportProblem(std::string_view text);

}  // namespace varlo
