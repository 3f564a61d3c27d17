// The talking console's window: an 80 x 25 character grid with colours, a
// text window, a cursor, a 64-byte key queue of one-byte key codes, line
// input, the clipboard and screen read-back.
//
// The grid and the queue are platform-free; a front end (terminal or
// headless, chosen by VARLO_CONSOLE or by whether stdin is a terminal) draws
// the grid and feeds keys. Every wait of the program goes through
// pumpMessages, which polls the front end, the sound layer and the engines.
//
// Coordinates given to and returned by these functions are 1-based and
// relative to the text window unless said otherwise. Text is Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

constexpr int kColumns = 80;
constexpr int kRows = 25;
constexpr int kKeyQueueSize = 64;

// Extended key codes (delivered as 0 followed by the code).
namespace key {
constexpr uint8_t F1 = 59, F2 = 60, F3 = 61, F4 = 62, F5 = 63, F6 = 64, F7 = 65,
                  F8 = 66, F9 = 67, F10 = 68, F11 = 69, F12 = 70;
constexpr uint8_t CtrlF1 = 94, CtrlF2 = 95, CtrlF3 = 96, CtrlF4 = 97, CtrlF5 = 98,
                  CtrlF6 = 99, CtrlF7 = 100, CtrlF8 = 101, CtrlF9 = 102,
                  CtrlF10 = 103, CtrlF11 = 104, CtrlF12 = 105;
constexpr uint8_t Insert = 82, Delete = 83, Home = 71, End = 79, PageUp = 73,
                  PageDown = 81, Up = 72, Down = 80, Left = 75, Right = 77;
constexpr uint8_t CtrlInsert = 255, ShiftInsert = 254, CtrlHome = 119,
                  CtrlEnd = 117, CtrlPageUp = 132, CtrlPageDown = 118,
                  CtrlUp = 113, CtrlDown = 114, CtrlLeft = 115, CtrlRight = 116;
// A braille display's routing key (see braille_line.h).
constexpr uint8_t Routing = 250;
// Plain byte keys.
constexpr uint8_t Backspace = 8, CtrlBackspace = 127, Enter = 13, CtrlEnter = 10,
                  Tab = 9, Esc = 27;
}  // namespace key

// Modifiers held with a key (keyModifiers, queueKey).
namespace keymod {
constexpr uint8_t shift = 1, ctrl = 2, alt = 4;
}

// Alt+letter / Alt+digit extended code, 0 when the byte has none.
uint8_t altKeyCode(uint8_t letterOrDigit);
// The code an extended key gives with the modifiers held: its Ctrl code
// with Ctrl, 254 for Shift+Insert, else the plain code.
uint8_t extendedKeyCode(uint8_t plain, uint8_t modifiers);

// Window life.
void openConsole();
// End of program: empties the key queue, restores the terminal and exits the
// process with the status given. Ctrl+Break (in a terminal: SIGINT, SIGTERM
// or SIGHUP sent from outside) ends the program here as well.
[[noreturn]] void closeConsole(int exitStatus = 0);
void restoreTerminal();             // safe to call many times, from any exit path
// Hand the terminal to an interactive external program (an editor) and take
// it back afterwards with a full redraw. Nothing happens without a terminal.
void suspendTerminal();
void resumeTerminal();
// Minimizes the console window, or restores and raises it; nothing happens
// in a terminal or headless.
void setWindowMinimized(bool minimized);
// A short text the front end wants said once (the window could not open,
// the terminal has no braille keyboard); the talking layer takes and says it.
void announce(std::string_view text);
std::string takeAnnouncement();

// Output (the output algorithm: 7, 8, 10, 13, 32-255, deferred wrap).
void writeText(std::string_view bytes);
// A field being edited is drawn again after every key; front ends that
// mirror the output stream as a transcript (the headless echo) are spared
// those drawings between holdMirror and releaseMirror, and are handed the
// text that counts with mirrorText.
void holdMirror();
void releaseMirror();
void mirrorText(std::string_view bytes);
// Line input with echo; returns the line without the CR LF that ends it
// (at most bufferSize - 2 characters are kept, as with a 128-byte buffer).
std::string readLine(int bufferSize = 128);

// Keyboard.
bool keyPending();
uint8_t readKey();
void peekKeys(uint8_t& first, uint8_t& second);
void pushKey(uint8_t code);          // dropped when 64 bytes are queued
// Queue a whole key from a front end: an extended key (0, code) goes in only
// if both bytes fit. Returns false when the key was dropped.
bool queueKey(uint8_t code, bool extended, uint8_t modifiers = 0);
// The modifiers (keymod bits) held with the key byte last read.
uint8_t keyModifiers();
int queuedKeyCount();
void flushKeyQueue();
// Removes the first extended key (0, code) found anywhere in the queue,
// leaving the keys around it in their order; false when there is none.
bool takeQueuedExtendedKey(uint8_t code);

// Cursor and window.
void moveCursor(int column, int row);
int cursorColumn();
int cursorRow();
void clearWindow();
// Print empty lines and come back up, so that a list opened below the
// cursor does not scroll the screen.
void makeRoom(int rows);
void clearToLineEnd();
void setTextColor(int index);
void setBackgroundColor(int index);
void setWindow(int left, int top, int right, int bottom);  // 1-based, absolute
struct TextWindow { int left, top, right, bottom; };          // 0-based, inclusive
TextWindow textWindow();
uint8_t currentAttribute();
void setAttribute(uint8_t attribute);

// Waiting and the event loop.
void pause(unsigned milliseconds);   // not interruptible
void pumpMessages();

// Other modules' work done on every pump (the wave player finishing buffers,
// engines delivering speech, the media player).
enum class PumpHook { wave, speech, media, announcement, count };
void setPumpHook(PumpHook which, void (*hook)());

// Screen read-back (1-based, text window relative) and colours.
uint8_t screenChar(int column, int row);
uint8_t screenAttribute(int column, int row);
struct Rgb { uint8_t r, g, b; };
Rgb colourRgb(int index);
// Read the [VIDEO] settings again after they were changed: the colours
// (TABCORES, CORESFIXAS, PALETA) and what the front end keeps (the window's
// font, size and cursor); the grid keeps its attributes.
void reloadVideoSettings();

void setTitle(std::string_view text);
std::string windowTitle();
// What the display shows instead of the grid (a terminal too small to hold
// it), "" while the grid is shown. The console only draws it; the talking
// layer says it.
std::string displayNotice();

// Clipboard: the program's own copy, and the desktop's through the front end
// (a paste brings the desktop's text when it has one).
bool copyText(std::string_view text);
bool copyBytes(const uint8_t* bytes, size_t length);
std::string pasteText(size_t bufferSize);

// Clock.
struct Date { int year, month, day, weekday; };          // weekday 0 = Sunday
struct Time { int hour, minute, second, hundredths; };
Date currentDate();
Time currentTime();

// Front end access for tests and batch runs: the whole screen as 25 lines of
// Windows-1252 text, each without its trailing spaces and ended by '\n', and
// keys injected as if typed. Injected keys wait in their own buffer and move
// to the key queue as it has room, so none is lost.
std::string screenDump();
void injectKeys(std::string_view bytes);
void injectExtendedKey(uint8_t code, uint8_t modifiers = 0);

}  // namespace varlo
