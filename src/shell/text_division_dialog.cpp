// Main-menu option D: asking for a text and a rule, replacing the old parts
// and writing the new ones into the project directory.
#include "shell/text_division_dialog.h"

#include <dirent.h>

#include <algorithm>
#include <cstdio>

#include "production/text_division.h"
#include "production/text_lines.h"
#include "console/console.h"
#include "widgets/field_editor.h"
#include "widgets/file_chooser.h"
#include "speech/speech.h"
#include "base/codepage.h"
#include "shell/app_state.h"
#include "speech/messages.h"
#include "shell/project.h"

namespace varlo {

namespace {

void newLine() { writeText("\r\n"); }

void cancelDivision() {
  beep();
  beep();
  sayMessage("VLDIVCAN", 1);
}

void sayText(const char* utf8) { writeLineSpeak(utf8ToCp1252(utf8)); }



// The file and the rule, asked of the user; false when the user gave up or
// answered something unusable (already said).
bool askDivision(AppState& s, std::string& file, DivisionRule& rule) {
  recheckEmptyProject();   // texts copied in since the start can be divided
  if (s.noTextFiles) {
    sayMessage("VLNAODIV", 1);
    return false;
  }
  file = chooseListedFile("VLSELSET", "*.TXT");
  if (file.empty()) {
    sayMessage("VLDESIST", 1);
    return false;
  }
  file = diskPath(file);
  sayMessage("VLMARLIN", 0);
  uint8_t key = readAnswerKey();
  if (key == 'M' || key == 'm') {
    sayMessage("VLINDMAR", 0);
    readLineSpoken(rule.mark);
    rule.byMark = true;
    if (trimBlanks(rule.mark).empty()) return cancelDivision(), false;
    return true;
  }
  if (key == 'L' || key == 'l') {
    sayMessage("VLINDLIN", 0);
    readNumberSpoken(s.linesPerPart);
    newLine();
    rule.linesPerPart = s.linesPerPart;
    if (rule.linesPerPart <= 0) return cancelDivision(), false;
    return true;
  }
  if (key != key::Esc) sayMessage("VLINDERR", 1);
  cancelDivision();
  return false;
}

bool endsWithPar(const std::string& name) {
  return name.size() > 4 && upperText(name.substr(name.size() - 4)) == ".PAR";
}

// The parts of earlier divisions in the current directory: this text's own
// (named with its prefix) and those of other texts.
struct OldParts {
  std::vector<std::string> own, others;
};

OldParts findOldParts(const std::string& prefix) {
  OldParts parts;
  if (DIR* dir = opendir(".")) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (!endsWithPar(name)) continue;
      (name.starts_with(prefix) ? parts.own : parts.others).push_back(name);
    }
    closedir(dir);
  }
  return parts;
}

// True when at least one was removed.
bool removeFiles(const std::vector<std::string>& names) {
  bool removed = false;
  for (const std::string& name : names)
    if (std::remove(name.c_str()) == 0) removed = true;
  return removed;
}

enum class OthersAnswer { remove, keep, giveUp };

// Parts of other books may have been edited by hand: they go only when the
// user says so, and Esc gives the division up with nothing removed.
OthersAnswer askAboutOtherParts(size_t count) {
  writeSpeak(utf8ToCp1252("Este projeto tem "));
  writeNumberSpeak(static_cast<long long>(count));
  writeLineSpeak(count == 1 ? " parte de outro texto." : " partes de outros textos.");
  writeSpeak(utf8ToCp1252("Apagar também essas partes (sim ou não) ? "));
  uint8_t key = readAnswerKey();
  if (key == key::Esc) return OthersAnswer::giveUp;
  return key == 'S' || key == 's' ? OthersAnswer::remove : OthersAnswer::keep;
}

// Remove this text's old parts, and those of other texts when the user
// agrees (a batch run cannot be asked and keeps them). False when the user
// gave the division up.
bool removeOldParts(AppState& s, const std::string& prefix) {
  OldParts old = findOldParts(prefix);
  bool keepOthers = !old.others.empty();
  if (keepOthers && !s.commandLineMode) {
    OthersAnswer answer = askAboutOtherParts(old.others.size());
    if (answer == OthersAnswer::giveUp) return false;
    keepOthers = answer == OthersAnswer::keep;
  }
  bool removed = removeFiles(old.own);
  if (!keepOthers) removed = removeFiles(old.others) || removed;
  if (removed && !keepOthers) s.noPartFiles = true;
  return true;
}

std::string baseNameOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The text is read a line at a time, never held whole: first looked at,
// then its parts counted, then written.
// What the text is, or false with the reason it will not be divided said.
bool lookAtText(const std::string& file, TextFacts& facts) {
  if (!scanTextFile(file, facts)) {
    sayMessage("VLPROABE", 1);
    return false;
  }
  if (facts.binary) {
    sayText("Este arquivo não é um texto e não será dividido.");
    return false;
  }
  if (facts.blank) {
    sayText("O arquivo está vazio, não há o que dividir.");
    return false;
  }
  return true;
}

// The number of parts the rule makes of the text; -1 when it cannot be read.
int countParts(const std::string& file, const DivisionRule& rule) {
  LineReader reader;
  if (!openLineReader(reader, file)) return -1;
  PartCutter cutter = startCutting(rule);
  for (std::string line; nextLine(reader, line);) cutterStep(cutter, line);
  bool whole = !reader.failed;
  closeLineReader(reader);
  return whole ? cutter.parts : -1;
}

bool writeLines(std::FILE* file, const std::vector<std::string>& lines) {
  bool ok = true;
  for (const std::string& line : lines)
    ok = ok && std::fwrite(line.data(), 1, line.size(), file) == line.size() && std::fputc('\n', file) != EOF;
  return ok;
}

// One part file being written: its head when opened, its tail when closed.
struct PartFile {
  std::FILE* file = nullptr;
  std::string name;
  int number = 0;
  bool ok = true;
};

bool closePart(PartFile& part, const PartLayout& layout) {
  bool ok = part.ok && writeLines(part.file, partTail(layout, part.number));
  ok = std::fclose(part.file) == 0 && ok;
  part.file = nullptr;
  if (!ok) std::remove(part.name.c_str());
  else click();
  return ok;
}

bool openPart(PartFile& part, const PartLayout& layout, const std::string& prefix, int n) {
  part.name = partFileName(prefix, n);
  part.number = n;
  part.file = std::fopen(part.name.c_str(), "wb");
  part.ok = part.file && writeLines(part.file, partHead(layout, n));
  if (part.file && !part.ok) closePart(part, layout);
  return part.ok;
}

// Write the parts; false when one could not be written (said; parts
// already written stay, a half-written one goes).
bool writeParts(const std::string& file, const DivisionRule& rule, const PartLayout& layout,
                const std::string& prefix) {
  LineReader reader;
  if (!openLineReader(reader, file)) {
    sayMessage("VLPROABE", 1);
    return false;
  }
  PartCutter cutter = startCutting(rule);
  PartFile part;
  bool ok = true;
  for (std::string line; ok && nextLine(reader, line);) {
    LineStep step = cutterStep(cutter, line);
    if (step.closesPart) ok = closePart(part, layout);
    if (ok && step.opensPart) ok = openPart(part, layout, prefix, cutter.parts);
    if (ok && step.kept) {
      part.ok = std::fwrite(line.data(), 1, line.size(), part.file) == line.size() &&
                std::fputc('\n', part.file) != EOF;
      ok = part.ok;
    }
    if (ok && step.closesAfter) ok = closePart(part, layout);
  }
  if (part.file && (endCutting(cutter) || !ok)) ok = closePart(part, layout) && ok;
  bool readWhole = !reader.failed;
  closeLineReader(reader);
  if (!ok) {
    writeLineSpeak(utf8ToCp1252("Não consegui gravar a parte ") + displayName(part.name) +
                   utf8ToCp1252(" (disco cheio ou sem permissão)."));
    return false;
  }
  if (!readWhole) sayMessage("VLPROABE", 1);
  return readWhole;
}

// The new parts become the selection; parts of other texts kept beside them
// are not converted with them.
void announceParts(AppState& s, const std::string& prefix) {
  s.noPartFiles = false;
  sayMessage("VLDIVSUC", 1);
  newLine();
  if (!listByKind('P', prefix)) {
    sayMessage("VLPRODIS", 1);
    shutdownSpeech();
    closeConsole();
  }
  sayMessage("VLTOTCON", 0);
  writeNumberSpeak(static_cast<long long>(s.selection.size()));
  newLine();
}

PartLayout layoutFor(const AppState& s, const std::string& title) {
  PartLayout layout;
  layout.title = title;
  layout.writeHeader = isYes(s.writeHeader);
  layout.withEffect = isYes(s.withEffect);
  layout.alternateVoices = s.alternateVoices.active;
  const AlternateVoices& v = s.alternateVoices;
  layout.voice = {v.type, v.voice, v.speed, v.pitch};
  return layout;
}

void runDivision(AppState& s, const std::string& file, DivisionRule rule) {
  sayMessage("VLINIDIV", 1);
  std::string diskBase = baseNameOf(file);
  if (endsWithPar(diskBase)) {
    // Its parts would be written over it and the old parts removed with it.
    sayText("Este arquivo já é uma parte; escolha o texto original.");
    return cancelDivision();
  }
  TextFacts facts;
  if (!lookAtText(file, facts)) return cancelDivision();
  // Names are worked out as the user hears them; the header and the mark
  // go into the parts in the text's own code page, the prefix in the disk's.
  std::string name = displayName(diskBase);
  bool utf8Text = facts.utf8;
  std::string title = divisionTitle(name);
  if (utf8Text) rule.mark = cp1252ToUtf8(rule.mark);
  int parts = countParts(file, rule);
  if (parts < 0) {
    sayMessage("VLPROABE", 1);
    return cancelDivision();
  }
  if (parts > kMaxParts) {
    beep();
    beep();
    sayText("O número de divisões excedeu o limite suportado");
    return cancelDivision();
  }
  std::string prefix = partPrefix(name);
  if (name != diskBase) prefix = cp1252ToUtf8(prefix);
  if (!removeOldParts(s, prefix)) return cancelDivision();
  s.audioSubdirectory = divisionTitle(diskBase);
  if (!writeParts(file, rule, layoutFor(s, utf8Text ? cp1252ToUtf8(title) : title), prefix))
    return cancelDivision();
  announceParts(s, prefix);
}

}  // namespace

void divideFile() {
  AppState& s = appState();
  DivisionRule rule;
  std::string file;
  if (s.commandLineMode) {
    if (s.selection.empty()) return cancelDivision();
    file = s.selection.back();
    rule.linesPerPart = s.linesPerPart > 0 ? s.linesPerPart : 100;
  } else if (!askDivision(s, file, rule)) {
    return;
  }
  runDivision(s, file, rule);
}

}  // namespace varlo
