// Main-menu options on the project: list the selection (L), project
// information (I).
#include "shell/project_options.h"

#include "console/console.h"
#include "console/speech.h"
#include "platform/codepage.h"
#include "shell/app_state.h"
#include "shell/messages.h"
#include "shell/project_size.h"

namespace varlo {

namespace {

void newLine() { writeText("\r\n"); }

void sayCount(const char* key, long long count) {
  pause(200);
  sayMessage(key, 0);
  writeNumberSpeak(count);
  newLine();
}

}  // namespace

bool listSelection() {
  AppState& s = appState();
  if (s.selection.empty()) {
    beep();
    beep();
    newLine();
    sayMessage("VLNHSEL", 1);
    newLine();
    return false;
  }
  newLine();
  sayMessage("VLPODCON", 1);
  newLine();
  for (const std::string& name : s.selection) {
    writeLineSpeak(utf8ToCp1252(name));
    if (keyPending()) break;
  }
  uint8_t first = 0, second = 0;
  if (keyPending()) peekKeys(first, second);
  flushKeys();
  if (first == key::Esc) {
    newLine();
    sayMessage("VLDESIST", 1);
    return false;
  }
  return true;
}

void sayProjectSize(const std::string& directory) {
  ProjectSize size = measureProject(directory);
  ScaledSize scaled = scaleSize(size.bytes);
  if (scaled.value == 0) {
    writeText("0\r\n");
    sayChar('0');
  } else {
    writeNumberSpeak(static_cast<long long>(scaled.value));
    writeText(" ");
    if (scaled.unit.empty()) newLine();
    else writeLineSpeak(scaled.unit);
  }
  // More than 702 MB no longer fits on a CD.
  if (scaled.unit == "MB" && scaled.value > 702) {
    beep();
    beep();
    beep();
    sayMessage("VLATEESG", 1);
  }
  sayCount("VLNUMARQ", size.files);
  sayCount("VLNUMSUB", size.subdirectories);
}

void projectInformation() {
  const std::string& directory = appState().projectDirectory;
  newLine();
  sayMessage("VLPROALO", 0);
  writeLineSpeak(utf8ToCp1252(directory));
  pause(200);
  sayMessage("VLTAMA", 0);
  sayProjectSize(directory);
  newLine();
}

}  // namespace varlo
