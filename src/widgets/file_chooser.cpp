// Choosing a file: the directory of the pattern entered for the time of the
// list (and always left again), the entries listed, sorted and run, and the
// answer made a path; asking for a file name in the field editor first.
#include "widgets/file_chooser.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "console/console.h"
#include "console/magnifier.h"
#include "widgets/field_editor.h"
#include "widgets/file_chooser_state.h"
#include "widgets/option_menu_screen.h"
#include "speech/speech.h"
#include "base/plain_text.h"

namespace varlo {

namespace {

constexpr int kNameLength = 255;
constexpr int kPlainFiles = attr::archive;
constexpr const char* kTab = "@TAB@";

enum class Outcome { chosen, cancelled, nothingChosen, tab, failed };

struct Answer {
  Outcome outcome = Outcome::failed;
  std::string path;
};

// Back in the directory it was made in, however the chooser ends.
struct DirectoryGuard {
  std::string directory = currentDirectory();
  ~DirectoryGuard() {
    if (chdir(directory.c_str()) != 0) {
      beep();
      writeLineSpeak("N\xE3o consegui voltar ao diret\xF3rio " + displayName(directory));
    }
  }
};

std::string withSlashes(std::string_view text) {
  std::string out(text);
  std::replace(out.begin(), out.end(), '\\', '/');
  return out;
}

std::string directoryPart(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool isDirectory(const std::string& path) {
  struct stat st{};
  return !path.empty() && stat(diskPath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void refuse(const std::string& message) {
  beep();
  writeLineSpeak(message);
}

// Files shared beside the listed directory's own.
struct Shared {
  std::string_view directory, mark;
};

// The shared directory's entries, sorted, after the list's own; an entry of
// the same name as one of the list's own is left out: the own one wins.
// They carry their whole path as their name on disk.
void addShared(std::vector<TMySearchRec>& entries, const Shared& shared, std::string_view mask,
               SortKind sortKind, int attributeFilter) {
  std::string dir(shared.directory);
  if (dir.back() != '/') dir += '/';
  std::string masks = displayName(dir);
  for (char c : mask) masks += c == '|' ? "|" + displayName(dir) : std::string(1, c);
  std::vector<TMySearchRec> more = listEntries(masks, attributeFilter);
  sortEntries(more, sortKind);
  for (TMySearchRec& e : more) {
    bool own = std::any_of(entries.begin(), entries.end(),
                           [&](const TMySearchRec& o) { return o.diskName == e.diskName; });
    if (own) continue;
    e.diskName = dir + e.diskName;
    e.name += std::string(shared.mark);
    entries.push_back(std::move(e));
  }
}

// The answer for an entry: its name, with the directory when the list was
// made in another one than the caller's; a shared entry's whole path.
std::string answerFor(const TMySearchRec& entry, const std::string& callerDirectory) {
  if (entry.diskName[0] == '/') {
    rememberChosen(displayName(entry.diskName), entry.diskName);
    return displayName(entry.diskName);
  }
  std::string here = currentDirectory();
  std::string diskFull = here + (here.back() == '/' ? "" : "/") + entry.diskName;
  std::string shown = entry.name;
  if (here != callerDirectory) {
    std::string dir = displayName(here);
    shown = dir + (dir.back() == '/' ? "" : "/") + entry.name;
  }
  rememberChosen(shown, diskFull);
  return shown;
}

Answer runChooser(int left, int top, int right, int bottom, std::string_view pattern,
                  SortKind sortKind, int attributeFilter, const Shared& shared = {}) {
  DirectoryGuard guard;
  std::string path = withSlashes(pattern);
  std::string dir = directoryPart(path), mask = path.substr(dir.size());
  if (!dir.empty() && chdir(diskPath(dir).c_str()) != 0) {
    refuse("N\xE3o consegui entrar no diret\xF3rio " + dir);
    return {};
  }
  if (access(".", R_OK) != 0) {
    std::string shown = dir.empty() ? displayName(currentDirectory()) : dir;
    refuse("N\xE3o consegui ler o diret\xF3rio " + shown);
    return {};
  }
  ChooserView view;
  view.entries = listEntries(mask, attributeFilter);
  sortEntries(view.entries, sortKind);
  if (dir.empty() && !shared.directory.empty())
    addShared(view.entries, shared, mask, sortKind, attributeFilter);
  if (view.entries.empty()) {
    refuse("Nenhum arquivo encontrado para " + (mask.empty() ? std::string("*") : mask));
    return {};
  }
  if (right == kColumns && bottom == kRows) right = kColumns - 1;   // never the last cell
  view.left = std::clamp(left, 1, kColumns);
  view.top = std::clamp(top, 1, kRows);
  view.right = std::clamp(right, view.left, kColumns);
  view.bottom = std::clamp(bottom, view.top, kRows);
  view.prefix = view.bottom > view.top ? " " : "";
  SavedRect saved = saveRect(view.left, view.top, view.right, view.bottom);
  uint8_t attribute = currentAttribute();
  int column = cursorColumn(), row = cursorRow();

  EntryRun run;
  int start = 0;
  for (;;) {
    run = runEntries(view, start);
    start = run.index < 0 ? 0 : run.index;
    uint8_t b = run.key.extended() ? 0 : run.key.byte;
    if (b == key::Esc || b == key::Tab || b == key::Enter) break;
  }
  Answer answer;
  if (run.key.byte == key::Tab) {
    answer = {Outcome::tab, kTab};
  } else if (run.key.byte == key::Esc) {
    answer = {Outcome::cancelled, ""};
  } else if (run.index < 0) {
    answer = {Outcome::nothingChosen, ""};
  } else {
    answer = {Outcome::chosen, answerFor(view.entries[run.index], guard.directory)};
  }
  clearMagnified();
  restoreRect(saved);
  setAttribute(attribute);
  moveCursor(column, row);
  return answer;
}

}  // namespace

std::string chooseFile(int left, int top, int right, int bottom, std::string_view pattern,
                       SortKind sortKind, int attributeFilter) {
  return runChooser(left, top, right, bottom, pattern, sortKind, attributeFilter).path;
}

std::string askFileName(int rows, std::string_view defaultMask, std::string_view sharedDirectory,
                        std::string_view sharedMark) {
  for (;;) {
    std::string text;
    int x = cursorColumn(), y = cursorRow();
    uint8_t k = editFieldHere(text, x, y, true, kNameLength);
    if (k == key::Tab) continue;
    if (k == key::Esc) return "";
    if (k != key::Up && k != key::Down) return text;
    text = std::string(trimSpaces(withSlashes(text)));
    if (isDirectory(text) && text.back() != '/') text += '/';
    std::string dir = directoryPart(text);
    if (text.empty() || text.back() == '/') text += withSlashes(defaultMask);
    Answer answer = runChooser(x, y, kColumns, y + std::max(rows, 1) - 1, text,
                               SortKind::byName, kPlainFiles, {sharedDirectory, sharedMark});
    switch (answer.outcome) {
      case Outcome::tab:
        click();
        click();
        continue;
      case Outcome::cancelled:
      case Outcome::nothingChosen:   // Enter beyond the ends: the caller says it gave up
        return "";
      case Outcome::chosen:
        return answer.path.find('/') != std::string::npos ? answer.path : dir + answer.path;
      case Outcome::failed:
        continue;   // back to the field, the reason said
    }
  }
}

}  // namespace varlo
