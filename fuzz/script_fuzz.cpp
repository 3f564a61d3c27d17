// libFuzzer target: arbitrary bytes compiled and run as a script (and their
// first line typed in interactive mode), with a step limit so that endless
// loops end (reading keys included: with no keys left they read Esc), small
// value limits so that memory stays bounded, and the object counters checked
// after every input: whatever a script does, all of its values must be freed
// when the interpreter is reset. Commands that would change the machine
// (files, programs) or wait in real time are disarmed.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/console.h"
#include "console/headless_front_end.h"
#include "script/commands.h"
#include "script/host.h"
#include "script/interp.h"
#include "script/output.h"
#include "quiet_interpreter.h"

namespace {

bool skipTheLine() {
  varlo::skipToEnd();
  return true;
}

// Commands that would reach the machine itself (remove or rename files,
// start programs, wait in real time) do nothing here.
void disarmMachineCommands() {
  for (const char* name : {"DIR", "ESPERA", "EXECUTA", "REMOVE", "RENOMEIA", "REPLICA"}) {
    varlo::setCommandHandler(name, skipTheLine);
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  varlo::setHeadlessEndsWithInput(false);  // a script reading keys in a loop meets the step limit
  varlo::fuzz::startQuietInterpreter();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varlo;
  std::string text(reinterpret_cast<const char*>(data), size);
  resetInterpreter();
  disarmMachineCommands();
  injectKeys("\r\r\r\r\r\r\r\r");
  setStepLimit(20000);
  int32_t slot = loadScriptText("/fuzz/ENTRADA.CMD", text);
  runLoaded(slot, "", false);
  setStepLimit(20000);
  try {
    runInteractiveLine(text.substr(0, text.find('\n')));
  } catch (const ScriptInterrupt&) {
  }
  resetInterpreter();
  flushKeyQueue();
  ObjectCounters c = objectCounters();
  if (c.objects != 0 || c.dictNodes != 0 || c.listCells != 0) {
    std::fprintf(stderr, "objects left after reset: %ld %ld %ld\n", c.objects, c.dictNodes, c.listCells);
    std::abort();
  }
  return 0;
}
