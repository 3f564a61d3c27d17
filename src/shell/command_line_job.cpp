// The unattended job of `varlo livro.txt`: divide the text, convert the parts
// to MP3 and end the program.
#include "shell/command_line_job.h"

#include <unistd.h>

#include <charconv>

#include "shell/conversion.h"
#include "shell/text_division_dialog.h"
#include "production/text_lines.h"
#include "base/codepage.h"
#include "base/config.h"
#include "speech/speech.h"
#include "widgets/file_chooser.h"
#include "shell/app_state.h"

namespace varlo {

namespace {

// The screen is cleared at the end: where the audio went is said, and printed
// again on standard output, where it stays once the program has ended.
[[noreturn]] void endJob(bool converted) {
  if (!converted) farewell(1);
  const std::string said = "Os arquivos de áudio estão na pasta ";
  std::string folder = outputDirectory(appState());
  writeLineSpeak(utf8ToCp1252(said) + displayName(folder));
  farewell(0, "varlo: " + said + folder);
}

}  // namespace

int linesPerPartSetting(std::string_view value) {
  std::string text(trimBlanks(value));
  int lines = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), lines);
  bool whole = error == std::errc() && end == text.data() + text.size();
  return whole && lines > 0 ? lines : 100;
}

void runCommandLineJob(const std::string& textFile) {
  AppState& s = appState();
  char directory[4096];
  s.projectDirectory = getcwd(directory, sizeof directory) ? directory : ".";
  s.commandLineMode = true;
  s.selection = {textFile};
  if (s.bookFormat != "MP3") {
    // A talking book is navigated by its headings, not cut into parts.
    bool converted = convertSelection();
    s.commandLineMode = false;
    endJob(converted);
  }
  s.linesPerPart = linesPerPartSetting(readSetting("VARLO", "QUEBRARLINHA"));
  s.noPartFiles = false;
  divideFile();
  // A division that did not happen has said so; the text itself is not
  // converted in its place.
  bool divided = !s.selection.empty() && s.selection.front() != textFile;
  bool converted = false;
  if (divided) {
    s.mp3Output = true;
    converted = convertSelection();
  }
  s.commandLineMode = false;
  endJob(converted);
}

}  // namespace varlo
