// AJUDA and HELP: sections of the language's manual shown in the text
// viewer. The manual is plain text; a line "== NOME título" opens the
// section of NOME, which runs to the next such line.
#include <filesystem>

#include "base/config.h"
#include "console/colour_scheme.h"
#include "console/console.h"
#include "widgets/option_menu.h"
#include "script/cmd_descriptors.h"
#include "widgets/cmd_viewer.h"
#include "script/cmd_operands.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo {

namespace {

struct Section {
  std::string name;                 // as written in the manual
  std::vector<std::string> lines;   // the heading "NOME título" first
};

std::string expandTabs(const std::string& line) {
  std::string out;
  for (char c : line) {
    if (c == '\t') out.append(4 - out.size() % 4, ' ');
    else out += c;
  }
  return out;
}

// The suite directory of the settings, else the installed one.
std::string manualPath() {
  std::error_code ec;
  std::string configured = readPathSetting("MURENA", "PGMMURENA");
  if (!configured.empty()) {
    std::string path = configured + "/manual/sc.txt";
    if (std::filesystem::is_regular_file(path, ec)) return path;
  }
  return suiteDirectory() + "/manual/sc.txt";
}

bool loadManual(std::vector<Section>& sections) {
  std::string text;
  if (!readWholeFile(manualPath(), text)) return false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, 3, "== ") == 0) {
      std::string heading = line.substr(3);
      sections.push_back(Section{heading.substr(0, heading.find(' ')), {heading}});
    } else if (!sections.empty()) {
      sections.back().lines.push_back(expandTabs(line));
    }
  }
  // Blank lines at the end of a section are only the gap before the next.
  for (Section& s : sections) {
    while (s.lines.size() > 1 && s.lines.back().find_first_not_of(' ') == std::string::npos) s.lines.pop_back();
  }
  return true;
}

const Section* findSection(const std::vector<Section>& sections, const std::string& name) {
  for (const Section& s : sections) {
    if (fold(s.name) == name) return &s;
  }
  return nullptr;
}

const Section* chooseSection(const std::vector<Section>& sections) {
  printLine("Escolha o item para obter ajuda:");
  openMenu(cursorColumn(), cursorRow(), 30, scheme::menu.background, 16);
  for (const Section& s : sections) addMenuEntry("", s.name);
  int chosen = runMenu();
  if (chosen < 1 || size_t(chosen) > sections.size()) return nullptr;
  return &sections[size_t(chosen - 1)];
}

}  // namespace

bool cmdHelp() {
  std::string name;
  if (theToken.kind != tkEnd) {
    if (theToken.kind != tkIdentifier) {
      skipToEnd();
      return failLine("Esperava o nome de um comando");
    }
    name = std::string(theToken.text);
    scan();
  }
  std::vector<Section> sections;
  if (!loadManual(sections)) return failLine(cp("Manual não encontrado"));
  const Section* section = name.empty() ? chooseSection(sections) : findSection(sections, name);
  if (!section) {
    if (name.empty()) return true;
    return failLine(cp("Ajuda não encontrada para o comando ") + name);
  }
  viewText(section->lines, ViewerOptions{speechSilenced(), {}, false});
  return true;
}

}  // namespace varlo
