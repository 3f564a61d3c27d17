// The braille display through BrlAPI and liblouis: the only file that calls
// either library.
#include "frontends/braille_display.h"

#include <brlapi.h>
#include <liblouis/liblouis.h>

#include <algorithm>
#include <chrono>
#include <csignal>

#include "base/codepage.h"
#include "base/config.h"
#include "console/braille_line.h"
#include "console/console.h"

namespace varlo {

namespace {

using Clock = std::chrono::steady_clock;
// BRLTTY that is not running is looked for again this often; a refused
// connection on this machine takes microseconds, so start-up never waits.
constexpr auto kRetryInterval = std::chrono::seconds(1);
constexpr uint8_t kCursorDots = 0xC0;   // dots 7 and 8

struct Display {
  std::string table = kDefaultBrailleTable;
  bool connected = false;
  bool lost = false;                 // the library reported a broken link
  Clock::time_point nextTry{};
  unsigned width = 0;
  // The row last given by the console, kept to show again after a
  // reconnection and to route keys.
  std::string text;
  int cursor = -1;
  BrailleRow row;
  int first = 0;                     // first cell shown
} display;

void quietLouisLog(logLevels, const char*) {}

// BrlAPI's own handler ends the program; a broken link only drops braille.
void brlapiLost(int, brlapi_packetType_t, const void*, size_t) { display.lost = true; }

void disconnect() {
  if (display.connected) brlapi_closeConnection();
  display.connected = false;
  display.lost = false;
  display.nextTry = Clock::now() + kRetryInterval;
}

void connect() {
  if (Clock::now() < display.nextTry) return;
  display.nextTry = Clock::now() + kRetryInterval;
  if (brlapi_openConnection(nullptr, nullptr) < 0) return;
  display.connected = true;
  unsigned height = 0;
  if (brlapi_getDisplaySize(&display.width, &height) < 0 || display.width == 0 ||
      brlapi_enterTtyModeWithPath(nullptr, 0, nullptr) < 0) {
    disconnect();
    return;
  }
}

// The cell of the cursor; past the text (a prompt waiting for an answer)
// cells and characters go one for one.
int cursorCell() {
  int length = static_cast<int>(display.text.size());
  if (display.cursor < 0) return -1;
  if (display.cursor < length) return display.row.charToCell[display.cursor];
  return static_cast<int>(display.row.dots.size()) + display.cursor - length;
}

// The window goes to the cursor when the row or the cursor changed; the
// panning keys move it alone.
void followCursor() {
  display.first = panWindow(display.first, static_cast<int>(display.width),
                            static_cast<int>(display.row.dots.size()), cursorCell());
}

// The cells of the window shown, and their text for displays that show it.
void draw() {
  if (!display.connected) return;
  const BrailleRow& row = display.row;
  int cellCount = static_cast<int>(row.dots.size());
  int cursor = cursorCell();
  std::vector<unsigned char> dots(display.width, 0);
  std::string text;
  for (unsigned i = 0; i < display.width; ++i) {
    int cell = display.first + static_cast<int>(i);
    if (cell == cursor) dots[i] = kCursorDots;
    if (cell < cellCount) {
      dots[i] |= row.dots[cell];
      char source = display.text[row.cellToChar[cell]];
      text += cp1252ToUtf8(std::string_view(&source, 1));
    } else {
      text += ' ';
    }
  }
  std::vector<unsigned char> none(display.width, 0);
  brlapi_writeArguments_t args = BRLAPI_WRITEARGUMENTS_INITIALIZER;
  args.regionBegin = 1;
  args.regionSize = static_cast<int>(display.width);
  args.text = text.c_str();
  args.textSize = static_cast<int>(text.size());
  args.andMask = none.data();
  args.orMask = dots.data();
  args.cursor = BRLAPI_CURSOR_OFF;
  args.charset = const_cast<char*>("UTF-8");
  if (brlapi_write(&args) < 0) disconnect();
}

void show(std::string_view text, int cursor) {
  // Trailing spaces are not shown, so that a short row's window stays put.
  size_t end = text.find_last_not_of(' ');
  std::string trimmed(text.substr(0, end == std::string_view::npos ? 0 : end + 1));
  if (trimmed != display.text) display.first = 0;
  display.text = trimmed;
  display.cursor = cursor;
  // A table that cannot be loaded must not leave the display blank.
  if (!translateBraille(display.text, display.table, display.row) &&
      !translateBraille(display.text, kDefaultBrailleTable, display.row)) {
    display.text.clear();
    display.row = {};
  }
  followCursor();
  draw();
}

void handleKey(brlapi_keyCode_t code) {
  if ((code & BRLAPI_KEY_TYPE_MASK) != BRLAPI_KEY_TYPE_CMD) return;
  brlapi_keyCode_t block = code & BRLAPI_KEY_CMD_BLK_MASK;
  int argument = static_cast<int>(code & BRLAPI_KEY_CMD_ARG_MASK);
  int cellCount = static_cast<int>(display.row.dots.size());
  int width = static_cast<int>(display.width);
  if (block == BRLAPI_KEY_CMD_ROUTE) {
    int cell = display.first + argument;
    int length = static_cast<int>(display.text.size());
    routeToColumn(cell < cellCount ? display.row.cellToChar[cell] : length + cell - cellCount);
    return;
  }
  if (block != 0) return;
  if (argument == BRLAPI_KEY_CMD_FWINLT && display.first > 0) {
    display.first = std::max(0, display.first - width);
    draw();
  } else if (argument == BRLAPI_KEY_CMD_FWINRT && display.first + width < cellCount) {
    display.first += width;
    draw();
  }
}

void poll() {
  if (display.lost) disconnect();
  if (!display.connected) {
    connect();
    if (!display.connected) return;
    followCursor();
    draw();
    return;
  }
  brlapi_keyCode_t code;
  int got;
  while ((got = brlapi_readKey(0, &code)) > 0) handleKey(code);
  if (got < 0 || display.lost) disconnect();
}

const BrailleDisplay kDisplay = {show, poll};

}  // namespace

bool translateBraille(std::string_view text, const std::string& table, BrailleRow& row) {
  static const bool quiet = (lou_registerLogCallback(quietLouisLog), true);
  (void)quiet;
  int inLength = static_cast<int>(text.size());
  std::vector<widechar> in(text.size() + 1);
  for (size_t i = 0; i < text.size(); ++i)
    in[i] = cp1252CodePoint(static_cast<unsigned char>(text[i]));
  // A character may become several cells (capital and number signs, signs
  // of two cells): room for four each.
  int outLength = inLength * 4 + 8;
  std::vector<widechar> out(static_cast<size_t>(outLength));
  std::vector<int> outputPos(text.size() + 1), inputPos(static_cast<size_t>(outLength));
  if (lou_translate(table.c_str(), in.data(), &inLength, out.data(), &outLength, nullptr,
                    nullptr, outputPos.data(), inputPos.data(), nullptr, dotsIO) == 0)
    return false;
  row.dots.resize(static_cast<size_t>(outLength));
  row.cellToChar.resize(static_cast<size_t>(outLength));
  for (int i = 0; i < outLength; ++i) {
    row.dots[i] = static_cast<uint8_t>(out[i] & 0xFF);
    row.cellToChar[i] = std::clamp(inputPos[i], 0, std::max(0, inLength - 1));
  }
  row.charToCell.assign(outputPos.begin(), outputPos.begin() + inLength);
  return true;
}

int panWindow(int first, int width, int cellCount, int cursorCell) {
  if (width <= 0) return 0;
  if (cursorCell < 0) return std::clamp(first, 0, std::max(0, cellCount - 1));
  if (cursorCell >= first && cursorCell < first + width) return first;
  return cursorCell - cursorCell % width;
}

bool brailleLineWanted() {
  std::string value = readRawSetting("BRAILLE", "LINHA");
  size_t first = value.find_first_not_of(' ');
  return first == std::string::npos ||
         (value[first] != 'N' && value[first] != 'n' && value[first] != '0');
}

std::string brailleTableSetting() {
  std::string table = readRawSetting("BRAILLE", "TABELA");
  size_t first = table.find_first_not_of(' ');
  return first == std::string::npos ? kDefaultBrailleTable
                                    : table.substr(first, table.find_last_not_of(' ') - first + 1);
}

void applyBrailleSettings() {
  if (!brailleLineWanted()) {
    setBrailleDisplay(nullptr);
    disconnect();
    return;
  }
  display.table = brailleTableSetting();
  // A write to a BRLTTY that has just gone away must not end the program.
  std::signal(SIGPIPE, SIG_IGN);
  brlapi_setExceptionHandler(brlapiLost);
  setBrailleDisplay(&kDisplay);
}

}  // namespace varlo
