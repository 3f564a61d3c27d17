// Links between the file chooser's own files.
#pragma once

#include <string>
#include <vector>

#include "widgets/field_editor_input.h"
#include "widgets/file_chooser.h"

namespace varlo {

// The process's current directory as the disk names it.
std::string currentDirectory();
// Keep the exact disk path of the entry the chooser answered with.
void rememberChosen(const std::string& shownPath, const std::string& diskFullPath);

// The list on screen.
struct ChooserView {
  std::vector<TMySearchRec> entries;
  int left = 1, top = 1, right = 1, bottom = 1;
  int firstVisible = 0;
  std::string prefix;   // one space when the view has more than one row
};

// One run of the list from an entry: where it ended (-1 outside the
// entries, or after Esc) and the key that ended it.
struct EntryRun {
  int index = -1;
  KeyPress key;
};
EntryRun runEntries(ChooserView& view, int start);

// Search the entries after current for a name beginning with (or, when
// containing, holding) a text; asking for the text, or repeating the last
// one. Plays "_ACHEI" and answers the entry found, or "_NAOACH" and current.
int searchEntries(const ChooserView& view, int current, bool containing, bool ask);

}  // namespace varlo
