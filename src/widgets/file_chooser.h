// The file chooser: a file name is first typed in the field editor; Up or
// Down there opens a spoken list of the matching entries of the directory,
// in which the user moves, hears each name, searches by typing, marks
// entries and picks one with Enter.
//
// Names are shown and spoken in Windows-1252. Names on disk are usually
// UTF-8; each entry keeps the name as stored on disk, and diskPath turns a
// path the chooser answered back into the path to open.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

// Attribute bits of a directory entry.
namespace attr {
constexpr int readOnly = 1, hidden = 2, system = 4, volume = 8, directory = 16,
              archive = 32;
}

// One directory entry and its mark.
struct TMySearchRec {
  int32_t time = 0;        // packed date (high word) and time (low word)
  int64_t size = 0;        // bytes
  int attr = 0;            // attr:: bits; plain files carry archive
  std::string name;        // the long name in Windows-1252, shown and spoken
  std::string shortName;   // on this system the name itself (no 8.3 names)
  std::string diskName;    // the name exactly as stored on disk
  uint8_t mark = 0;        // 0 or 1
};

enum class SortKind { byName = 0, byExtension = 1, bySize = 2, byTime = 3 };

// The field-then-list dialogue: a path, or "" when the user gave up.
// rows is the height of the list below the field. When the list is of the
// current directory, the files of sharedDirectory (when given) that it has
// no name of follow its own, each marked with sharedMark.
std::string askFileName(int rows, std::string_view defaultMask,
                        std::string_view sharedDirectory = {}, std::string_view sharedMark = {});

// List the entries of the directory named in the pattern (its part up to the
// last "/") that match its mask part and let the user pick one. Answers the
// chosen path, "" (Esc, or nothing to list), or "@TAB@".
std::string chooseFile(int left, int top, int right, int bottom,
                       std::string_view pattern, SortKind sortKind,
                       int attributeFilter);

// The entries matching the masks ("|"-separated name prefixes; a single
// vowel stands for all its accented forms), in the order found. A mask may
// start with a directory part.
std::vector<TMySearchRec> listEntries(std::string_view masks, int attributeFilter);
void sortEntries(std::vector<TMySearchRec>& entries, SortKind kind);

// The key names sort on: folded to unaccented capitals, a leading number
// padded with zeros to 15 digits.
std::string sortKey(std::string_view name);
// Upper-case a Windows-1252 byte and drop its accent (the sorting fold).
uint8_t foldByte(uint8_t byte);
// Whether a name matches one mask with * and ?, without regard to case.
bool maskMatches(std::string_view mask, std::string_view name);
// The masks a list of "|"-separated masks stands for, vowels expanded and
// each made a name prefix ("a" -> "a*.*", "*.txt" -> "*.txt*").
std::vector<std::string> expandMasks(std::string_view masks);

// The name shown and spoken for a name stored on disk.
std::string displayName(std::string_view diskName);
// The path on disk of a path given in Windows-1252 (typed, or answered by the
// chooser): each part is looked up as UTF-8, then as it stands, then among
// the directory's entries by the name shown for them.
std::string diskPath(std::string_view path);

}  // namespace varlo
