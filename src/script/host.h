// The script host: loads script files into slots 1-127, compiles and runs
// them from a label, and turns the outcome into a result code and message.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "script/interp.h"

namespace varlo {

enum ScriptResult : int {
  srSuccess = 0, srRunFailed = 1, srNotRead = 2, srNoLabel = 3, srSyntax = 4
};

struct RunOutcome {
  int code = srNotRead;
  int32_t line = 0;
  std::string message;
};

// Interpreter reset: stack, counters, switches, descriptors, every slot
// freed, the symbol table rebuilt with the commands, the TEMPO reference.
void resetInterpreter();
// Runs that follow one another in one interpreter (option E): it is reset
// on the first only, so that a script run again keeps its compiled code and
// its script-level variables.
void startInterpreterOnce();
// The end of such a run: what it left open (descriptors, file search, menu
// and form, sounds, accessibility monitoring) is released and the error
// switches restored, so that a failed run cannot break the next one.
void releaseRunResources();
// A loaded script whose file changed on disk since is freed, to be loaded
// afresh by its next run.
void forgetChangedScript(std::string_view path);
// Reference time of TEMPO in hundredths since the week began, taken at reset.
int64_t tempoReference();

// An entry of the path's directory whose name is the path's own but for
// letter case (scripts come from systems where case did not matter), only
// regular files when asked; empty when there is none.
std::string entryIgnoringCase(std::string_view path, bool regularOnly);
int32_t loadScript(std::string_view path);
// Reads lines into a free slot as if they were a file with this path (tests
// and the interactive host).
int32_t loadScriptText(std::string_view path, std::string_view contents);
void freeScript(int32_t slot);
bool compileScript(int32_t slot);
int32_t findStartLabel(int32_t slot, std::string_view label);
void setExternalRoutine(int32_t slot, ExternalRoutine routine);
RunOutcome runLoaded(int32_t slot, std::string_view label, bool freeAfter,
                     ExternalRoutine routine = nullptr);
RunOutcome executeScript(std::string_view path, std::string_view label);
void reportResult(int code, std::string_view label);

}  // namespace varlo
