// The changes an edit makes to its text: insertion, deletion, blanking,
// words, the selection, copy and paste.
#include <algorithm>

#include "widgets/field_editor.h"
#include "widgets/field_editor_state.h"

namespace varlo {

namespace {

bool isDigit(uint8_t c) { return c >= '0' && c <= '9'; }
bool isLetter(uint8_t c) { return ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') || c >= 128; }
bool sameRun(uint8_t a, uint8_t b) { return isDigit(a) ? isDigit(b) : isLetter(a) && isLetter(b); }

// Append to text the characters from p on that pass the test; p ends after them.
void takeWhile(const EditState& e, int& p, bool (*test)(uint8_t), std::string& text) {
  for (; p <= e.maxLength && test(charAt(e, p)); ++p) text += static_cast<char>(charAt(e, p));
}

// Opening and closing marks and punctuation that surround an address in text.
constexpr std::string_view kAddressTrim = "\"(*-.<=>[_{)]},;:!?'";

}  // namespace

EditState startEdit(std::string_view value, int x, int y, bool editable, int width,
                    int maxLength, int windowWidth, int windowHeight) {
  EditState e;
  e.maxLength = std::clamp(maxLength, 1, kMaxFieldLength);
  e.width = std::clamp(width, 1, e.maxLength);
  if (y == windowHeight && x + e.width > windowWidth && e.width > 1) --e.width;
  e.x = x;
  e.y = y;
  e.editable = editable;
  e.value = std::string(value.substr(0, e.maxLength));
  e.value.resize(e.maxLength, ' ');
  e.starting = e.value;
  return e;
}

uint8_t charAt(const EditState& e, int position) {
  if (position < 1 || position > static_cast<int>(e.value.size())) return ' ';
  return static_cast<uint8_t>(e.value[position - 1]);
}

int textEnd(const EditState& e) {
  size_t last = e.value.find_last_not_of(' ');
  return last == std::string::npos ? 1 : static_cast<int>(last) + 2;
}

bool hasSelection(const EditState& e) {
  return e.selStart > 0 && e.selEnd > 0 && e.selStart != e.selEnd;
}
int selectionFrom(const EditState& e) { return std::min(e.selStart, e.selEnd); }
int selectionTo(const EditState& e) { return std::max(e.selStart, e.selEnd); }
void clearSelection(EditState& e) { e.selStart = e.selEnd = 0; }

// The cursor stays on one of the field's own columns: one place past them
// (after the last character of a full field) it would sit on the next
// cell, or off the row, and not be seen.
void keepCursorVisible(EditState& e) {
  if (e.position < e.offset) e.offset = e.position;
  if (e.offset + e.width <= e.position) e.offset = e.position - e.width + 1;
}

void routeCursor(EditState& e, int column) {
  if (column < e.x || column >= e.x + e.width) return;
  e.position = std::min(e.offset + column - e.x, textEnd(e));
}

bool insertAtCursor(EditState& e, uint8_t byte) {
  if (e.position > e.maxLength) return false;
  e.value.insert(e.value.begin() + (e.position - 1), static_cast<char>(byte));
  e.value.pop_back();
  ++e.position;
  return true;
}

uint8_t removeAt(EditState& e, int position) {
  uint8_t removed = charAt(e, position);
  if (position < 1 || position > e.maxLength) return removed;
  e.value.erase(position - 1, 1);
  e.value += ' ';
  return removed;
}

void blankFrom(EditState& e, int position) {
  for (int p = std::max(position, 1); p <= e.maxLength; ++p) e.value[p - 1] = ' ';
}

void removeBefore(EditState& e, int position) {
  int count = std::clamp(position - 1, 0, e.maxLength);
  e.value.erase(0, count);
  e.value.resize(e.maxLength, ' ');
}

void blankAll(EditState& e) { e.value.assign(e.maxLength, ' '); }

bool isWordChar(uint8_t c) { return isDigit(c) || isLetter(c); }

int previousWordStart(const EditState& e, int position) {
  int p = position - 1;
  while (p >= 1 && !isWordChar(charAt(e, p))) --p;
  if (p < 1) return 0;
  while (p > 1 && sameRun(charAt(e, p), charAt(e, p - 1))) --p;
  return p;
}

int nextWordStart(const EditState& e, int position) {
  int p = position;
  if (isWordChar(charAt(e, p)))
    while (p <= e.maxLength && sameRun(charAt(e, position), charAt(e, p))) ++p;
  while (p <= e.maxLength && !isWordChar(charAt(e, p))) ++p;
  return p <= e.maxLength ? p : 0;
}

int wordDeleteStart(const EditState& e) {
  int p = e.position;
  uint8_t before = charAt(e, p - 1);
  if (p <= 1 || before == ' ') return p;
  if (!isWordChar(before)) return p - 1;
  while (p > 1 && sameRun(before, charAt(e, p - 1))) --p;
  return p;
}

int wordDeleteCount(const EditState& e, int from) {
  int next = nextWordStart(e, from);
  int to = next ? next : std::max(textEnd(e), from);
  return std::min(to, e.maxLength + 1) - from;
}

WordAtCursor wordAt(const EditState& e, int position) {
  WordAtCursor w;
  int p = position;
  while (p <= e.maxLength && charAt(e, p) == ' ') ++p;
  if (p > e.maxLength) return w;
  uint8_t c = charAt(e, p);
  if (isDigit(c) || c == '-') {
    w.kind = WordKind::number;
    w.text += static_cast<char>(c);
    ++p;
    takeWhile(e, p, isDigit, w.text);
  } else if (isLetter(c)) {
    w.kind = WordKind::word;
    takeWhile(e, p, isLetter, w.text);
  } else {
    w.kind = WordKind::other;
    w.text += static_cast<char>(c);
    ++p;
  }
  w.end = p;
  return w;
}

std::string addressAt(const EditState& e, int position) {
  if (charAt(e, position) == ' ') return {};
  int from = position, to = position;
  while (from > 1 && charAt(e, from - 1) != ' ') --from;
  while (to < e.maxLength && charAt(e, to + 1) != ' ') ++to;
  std::string word = e.value.substr(from - 1, to - from + 1);
  size_t first = word.find_first_not_of(kAddressTrim);
  if (first == std::string::npos) return {};
  size_t last = word.find_last_not_of(kAddressTrim);
  return word.substr(first, last - first + 1);
}

std::string copiedText(const EditState& e) {
  if (hasSelection(e)) {
    int from = selectionFrom(e), to = std::min(selectionTo(e), e.maxLength + 1);
    return e.value.substr(from - 1, to - from);
  }
  return trimmedRight(e.value) + "\r\n";
}

void pasteInto(EditState& e, std::string_view clipboard) {
  std::string text(clipboard.substr(0, clipboard.find_first_of("\r\n")));
  text.resize(std::min<size_t>(text.size(), e.maxLength));
  // Tabs and other control bytes from another program would show as stray
  // glyphs and could not be typed back: they come in as spaces.
  for (char& c : text)
    if (static_cast<uint8_t>(c) < ' ') c = ' ';
  if (hasSelection(e))
    e.position = selectionFrom(e);
  else
    e.selStart = e.selEnd = e.position;
  int from = selectionFrom(e), to = std::min(selectionTo(e), e.maxLength + 1);
  std::string value = e.value.substr(0, from - 1) + text + e.value.substr(to - 1);
  value.resize(e.maxLength, ' ');
  e.value = value;
  e.selStart = from;
  e.selEnd = std::min(from + static_cast<int>(text.size()), e.maxLength + 1);
}

std::string trimmedRight(std::string_view text) {
  size_t last = text.find_last_not_of(' ');
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

}  // namespace varlo
