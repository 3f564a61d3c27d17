// Shared set-up of the script language tests: output captured as text, the
// interpreter reset, scripts run from memory, and a test-only built-in
// function SAIDA(valor) that writes the value's text as one output line.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "console/console.h"
#include "base/codepage.h"
#include "script/commands.h"
#include "script/host.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo::test {

inline std::string& captured() {
  static std::string text;
  return text;
}

inline void captureOutput(std::string_view text, bool lineBreak, bool) {
  captured() += cp1252ToUtf8(text);
  if (lineBreak) captured() += '\n';
}

inline bool builtinSaida(const SymtbEntry&) {
  captured() += cp1252ToUtf8(valueText(argument(1))) + "\n";
  return true;
}

class ScriptTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool opened = false;
    if (!opened) {
      openConsole();
      opened = true;
    }
    addBuiltin({"SAIDA", builtinSaida, 1, 0});
  }

  void SetUp() override {
    setOutputSink(captureOutput);
    resetInterpreter();
    captured().clear();
  }

  void TearDown() override { setOutputSink(nullptr); }

  // Loads UTF-8 script text under a name, runs it from the label and frees
  // the slot.
  RunOutcome run(std::string_view text, std::string_view label = "",
                 std::string_view name = "/tmp/varlo-test/TESTE.SCR") {
    int32_t slot = loadScriptText(name, utf8ToCp1252(text));
    return runLoaded(slot, utf8ToCp1252(label), true);
  }

  // Output of a script run (UTF-8).
  std::string output(std::string_view text) {
    captured().clear();
    run(text);
    return captured();
  }

  // Runs one interactive line and returns what it printed.
  std::string interactive(std::string_view line) {
    captured().clear();
    runInteractiveLine(utf8ToCp1252(line));
    return captured();
  }
};

}  // namespace varlo::test
