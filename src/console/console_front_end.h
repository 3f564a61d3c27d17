// What a front end (terminal, headless) sees of the console core, and what
// the core asks of a front end. Only the console and the front ends include
// this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "console/console.h"

namespace varlo {

// A front end: a record of operations the core calls.
struct FrontEnd {
  // The grid, the cursor or the caret changed: bring the display up to date.
  void (*refresh)();
  // Character 7 was written.
  void (*bell)();
  // The window title changed (windowTitle()).
  void (*titleChanged)();
  // Bytes handed to writeText, for front ends that mirror the output stream.
  void (*wrote)(std::string_view bytes);
  // Read input and queue its keys, waiting at most timeoutMs for some to
  // arrive (0: do not wait). keyWanted is true while readKey is waiting.
  void (*poll)(int timeoutMs, bool keyWanted);
  // Give the terminal to another program, and take it back.
  void (*suspend)();
  void (*resume)();
  // Put the terminal back as it was; safe to call many times.
  void (*restore)();
  // What the display shows instead of the grid (a terminal too small to
  // hold it), in Windows-1252, or null while the grid is shown; may itself
  // be null.
  const char* (*displayNotice)();
  // The desktop's clipboard, either may be null. copyOut hands a copied
  // text over; pasteIn fetches the text to paste (Windows-1252, at most
  // limit bytes) and answers false when the desktop has none to give, so
  // that the console's own copy is pasted.
  void (*copyOut)(std::string_view text);
  bool (*pasteIn)(std::string& text, size_t limit);
  // Minimize the window, or restore and raise it; may be null.
  void (*setMinimized)(bool minimized);
  // The [VIDEO] settings changed: read again those the front end keeps; may
  // be null.
  void (*videoSettingsChanged)();
};

// The front end openConsole opens (set by the program before the console is
// first used); the headless one when none was set.
void setFrontEndOpener(const FrontEnd* (*open)());

// The whole grid, row-major, kColumns x kRows cells.
const uint8_t* gridCharacters();
const uint8_t* gridAttributes();
// The cursor in absolute 0-based cells, kept on the grid while a wrap is
// pending; caretWanted is true while a key read is waiting.
int absoluteCursorColumn();
int absoluteCursorRow();
bool caretWanted();

// Keys injected by tests, batch input or the front end's own buffering that
// have not reached the key queue yet (counted in whole keys).
int injectedKeyCount();

}  // namespace varlo
