// Main-menu options on the project: list the selection (L), modify it (M),
// project information (I).
#include "shell/project_options.h"

#include <algorithm>
#include <cctype>
#include <vector>

#include "console/console.h"
#include "widgets/marking_list.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "shell/app_state.h"
#include "speech/messages.h"
#include "shell/project.h"
#include "shell/project_size.h"

namespace varlo {

namespace {

constexpr int kListRows = 10;   // the height the file lists have too

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
  recheckEmptyProject();   // texts copied in since the start are listed
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

namespace {

// Fill the selection by kind; when none is found, the other kind is listed
// so that the selection keeps what the project has.
void insertKind(char kind) {
  AppState& s = appState();
  bool texts = kind == 'T';
  if (listByKind(kind)) {
    newLine();
    sayMessage("VLTOTAL", 0);
    writeNumberSpeak(static_cast<long long>(s.selection.size()));
    newLine();
    s.audioSubdirectory.clear();
    return;
  }
  sayMessage(texts ? "VLNAOTXT" : "VLNAOPAR", 1);
  (texts ? s.noTextFiles : s.noPartFiles) = true;
  if (listByKind(texts ? 'P' : 'T')) (texts ? s.noPartFiles : s.noTextFiles) = false;
}

void insertByKind() {
  newLine();
  sayMessage("VLINS", 1);
  pause(100);
  sayMessage("VLDIGTP", 0);
  uint8_t extended = 0;
  uint8_t k = readKeyEcho(extended);
  newLine();
  if (k == 'T' || k == 't' || k == 'P' || k == 'p')
    insertKind(static_cast<char>(std::toupper(k)));
  else
    sayMessage("VLOPCAN", 1);
}

void selectByFile() {
  AppState& s = appState();
  sayMessage("VLSELSET", 1);
  pause(100);
  sayMessage("VLENTFIN", 1);
  // Room below the cursor, as for the other lists, so that near the bottom
  // of the screen the list does not shrink to one row.
  int rows = std::min(static_cast<int>(s.selection.size()), kListRows);
  makeRoom(rows);
  int top = cursorRow();
  openList(1, top, 80, top + rows);
  for (const std::string& name : s.selection) addListEntry(utf8ToCp1252(name));
  ListResult result = runList(1, true);
  std::vector<std::string> marked;
  for (int i = 1; i <= listCount(); ++i)
    if (listEntry(i).mark) marked.push_back(s.selection[i - 1]);
  closeList();
  clearWindow();
  newLine();
  if (result.key == key::Enter && !marked.empty()) {
    s.selection = marked;
    sayMessage("VLOKSEL", 1);
  } else {
    sayMessage("VLDESIST", 1);
  }
}

}  // namespace

void modifySelection() {
  AppState& s = appState();
  recheckEmptyProject();   // texts copied in since the start can be selected
  if (s.noTextFiles && s.noPartFiles) {
    beep();
    beep();
    sayMessage("VLNAOSEL", 1);
    return;
  }
  sayMessage("VLDIG", 1);
  pause(200);
  sayMessage("VLINSMAS", 1);
  pause(100);
  sayMessage("VLSELARQ", 1);
  sayMessage("VLQUALOP", 0);
  uint8_t extended = 0;
  uint8_t k = readKeyEcho(extended);
  newLine();
  switch (k) {
    case 'I': case 'i': insertByKind(); break;
    case 'S': case 's': selectByFile(); break;
    case key::Esc: sayMessage("VLDESIST", 1); break;
    default: sayMessage("VLOPCAN", 1); break;
  }
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
