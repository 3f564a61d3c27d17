// Running a form: drawing labels and values, moving between fields,
// scrolling, the allowed values of F9, and writing every field back.
#include "widgets/form.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <vector>

#include "console/colour_scheme.h"
#include "console/console.h"
#include "widgets/field_editor.h"
#include "widgets/field_editor_input.h"
#include "widgets/option_menu.h"
#include "widgets/option_menu_screen.h"
#include "widgets/screen_review.h"
#include "speech/speech.h"
#include "base/plain_text.h"

namespace varlo {

namespace {

constexpr int kLabelBackground = scheme::formLabel.background;
constexpr int kValueBackground = scheme::formValue.background, kYellow = scheme::formCurrent.text;
constexpr int kChoiceBackground = scheme::menu.background;
constexpr size_t kMaxTextLength = 255;

struct Form {
  std::vector<TCampo> fields;
  int firstRow = 1;
  int scroll = 0;   // fields scrolled off the top
} form;

int labelWidth = 28;

int fieldCount() { return static_cast<int>(form.fields.size()); }
TCampo& field(int n) { return form.fields[n - 1]; }
int rowOf(int n) { return form.firstRow + n - form.scroll - 1; }
bool isShown(int n) { return rowOf(n) >= form.firstRow && rowOf(n) <= kRows; }
int valueWidth(const TCampo& f) {
  return std::clamp(std::min(f.maxLength, 79 - labelWidth), 1, kColumns);
}

void addField(TCampo f) {
  if (fieldCount() >= kMaxFormFields) return;
  form.fields.push_back(std::move(f));
}

void drawLabel(int n) {
  uint8_t attribute = currentAttribute();
  std::string label = field(n).prompt.substr(0, std::max(labelWidth - 1, 0)) + " ";
  setBackgroundColor(kLabelBackground);
  writeCells(1, rowOf(n), std::string(std::max<int>(labelWidth - label.size(), 0), ' ') + label);
  setAttribute(attribute);
}

void drawValue(int n, bool current) {
  uint8_t attribute = currentAttribute();
  setBackgroundColor(kValueBackground);
  if (current) setTextColor(kYellow);
  writeCells(labelWidth + 1, rowOf(n), fitted(field(n).value, valueWidth(field(n))));
  clearToLineEnd();
  setAttribute(attribute);
}

void drawAll() {
  for (int n = 1; n <= fieldCount(); ++n)
    if (isShown(n)) {
      drawLabel(n);
      drawValue(n, false);
    }
}

// Offer the allowed values in a menu at the cursor; the chosen one becomes
// the value.
void chooseAllowed(TCampo& f) {
  if (f.allowed.empty()) return;
  std::vector<std::string> values;
  for (size_t start = 0;;) {
    size_t bar = f.allowed.find('|', start);
    values.push_back(f.allowed.substr(start, bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  size_t width = 1;
  for (const std::string& v : values) width = std::max(width, v.size());
  openMenu(cursorColumn(), cursorRow(), static_cast<int>(width), kChoiceBackground,
           std::min<int>(values.size(), kRows));
  for (const std::string& v : values) addMenuEntry("", v);
  if (runMenu() > 0) f.value = selectedMenuText();
}

// Edit field n; the key that ended the edit (byte, or extended code).
uint8_t editCurrent(int n, bool editable) {
  TCampo& f = field(n);
  drawLabel(n);
  drawValue(n, true);
  if (!f.key.empty() && recordingExists(f.key))
    playRecording(f.key);
  else
    speak(f.prompt);
  while (isBusy()) pause(10);
  speak(f.value);
  uint8_t attribute = currentAttribute();
  setBackgroundColor(kValueBackground);
  setTextColor(kYellow);
  uint8_t k = editField(f.value, labelWidth + 1, rowOf(n), editable, valueWidth(f), f.maxLength);
  if (k == key::F9) chooseAllowed(f);
  setAttribute(attribute);
  drawValue(n, false);
  return k;
}

// Above the first field or past the last: a beep, then a key.
uint8_t keyOutside(int n) {
  moveCursor(1, n == 0 ? form.firstRow : std::clamp(rowOf(fieldCount()), 1, kRows));
  beep();
  KeyPress k = readKeyPress();
  if (isReviewKey(k)) {
    reviewScreen();
    return 0;
  }
  if (k.extended()) return k.code;
  bool moves = k.byte == key::Tab || k.byte == key::Enter || k.byte == key::Esc;
  return moves ? k.byte : 0;
}

void scrollTo(int n) {
  bool moved = false;
  while (rowOf(n) > kRows && form.scroll < fieldCount() + form.firstRow - 26) {
    ++form.scroll;
    moved = true;
  }
  while (rowOf(n) < form.firstRow && form.scroll > 0) {
    --form.scroll;
    moved = true;
  }
  if (moved) drawAll();
}

}  // namespace

void beginForm() {
  form.fields.clear();
  form.firstRow = cursorRow();
  form.scroll = 0;
}

void addTextField(std::string_view key, std::string_view prompt, std::string& variable,
                  int maxLength) {
  TCampo f{std::string(key), std::string(prompt), variable, "", maxLength};
  f.text = &variable;
  addField(std::move(f));
}

void addIntegerField(std::string_view key, std::string_view prompt, int32_t& variable) {
  TCampo f{std::string(key), std::string(prompt), std::to_string(variable), "", 10};
  f.type = FieldType::integer;
  f.integer = &variable;
  addField(std::move(f));
}

void addChoiceField(std::string_view key, std::string_view prompt, std::string& variable,
                    std::string_view allowedValues, int maxLength) {
  TCampo f{std::string(key), std::string(prompt), variable, std::string(allowedValues), maxLength};
  f.text = &variable;
  addField(std::move(f));
}

void addYesNoField(std::string_view key, std::string_view prompt, bool& variable) {
  TCampo f{std::string(key), std::string(prompt), variable ? "SIM" : "NAO", "SIM|NAO", 3};
  f.type = FieldType::yesNo;
  f.yesNo = &variable;
  addField(std::move(f));
}

void addRealField(std::string_view key, std::string_view prompt, double& variable,
                  int maxLength) {
  char shown[64];
  std::snprintf(shown, sizeof shown, "%.15g", variable);
  std::string value = shown;
  if (size_t dot = value.find('.'); dot != std::string::npos) value[dot] = ',';
  TCampo f{std::string(key), std::string(prompt), value, "", maxLength};
  f.type = FieldType::real;
  f.real = &variable;
  addField(std::move(f));
}

void setFormLabelWidth(int width) { labelWidth = std::clamp(width, 1, kColumns - 2); }
int formLabelWidth() { return labelWidth; }

void writeBackField(const TCampo& f) {
  std::string value = f.type == FieldType::text ? f.value : std::string(trimSpaces(f.value));
  switch (f.type) {
    case FieldType::text:
      if (f.text) *f.text = value.substr(0, kMaxTextLength);
      break;
    case FieldType::integer: {
      int number = 0;
      leadingInteger(value, number);
      if (f.integer) *f.integer = number;
      break;
    }
    case FieldType::yesNo:
      if (f.yesNo && !value.empty()) *f.yesNo = upperText(value.substr(0, 1)) != "N";
      break;
    case FieldType::real: {
      if (size_t comma = value.find(','); comma != std::string::npos) value[comma] = '.';
      double number = 0;
      const char* begin = value.data() + (!value.empty() && value[0] == '+');
      std::from_chars(begin, value.data() + value.size(), number);
      if (f.real) *f.real = number;
      break;
    }
  }
}

uint8_t runForm(bool editable) {
  drawAll();
  flushKeys();
  int n = 1;
  uint8_t k = 0;
  for (bool finished = false; !finished;) {
    bool inside = n >= 1 && n <= fieldCount();
    k = inside ? editCurrent(n, editable) : keyOutside(n);
    switch (k) {
      case key::Tab: case key::Enter: case key::Down: ++n; break;
      case key::Esc: case key::PageUp: case key::PageDown: finished = true; break;
      case key::Up: --n; break;
      case key::CtrlUp: n = 1; break;
      case key::CtrlDown: n = fieldCount(); break;
      default: break;
    }
    n = std::clamp(n, 0, fieldCount() + 1);
    if (!finished) scrollTo(n);
  }
  for (const TCampo& f : form.fields) writeBackField(f);
  moveCursor(1, std::clamp(rowOf(fieldCount()) + 1, 1, kRows));
  form.fields.clear();
  return k;
}

}  // namespace varlo
