// The script's key names as X keysym names.
#include <X11/Xlib.h>

#include <cctype>
#include <cstdio>
#include <cstring>

#include "base/codepage.h"
#include "base/plain_text.h"
#include "platform/desktop.h"

namespace varlo {

namespace {

struct KeyName {
  const char* name;
  const char* keysym;
};

constexpr KeyName kKeyNames[] = {
    {"UP", "Up"},          {"DOWN", "Down"},           {"LEFT", "Left"},       {"RIGHT", "Right"},
    {"ESCAPE", "Escape"},  {"ESC", "Escape"},          {"ENTER", "Return"},    {"RETURN", "Return"},
    {"BACKSPACE", "BackSpace"}, {"TAB", "Tab"},        {"INS", "Insert"},      {"HOME", "Home"},
    {"DEL", "Delete"},     {"DELETE", "Delete"},       {"END", "End"},         {"PAGEUP", "Prior"},
    {"PRIOR", "Prior"},    {"PAGEDN", "Next"},         {"NEXT", "Next"},       {"SNAPSHOT", "Print"},
};

constexpr KeyName kPrefixes[] = {{"CTRL+", "ctrl+"}, {"SHIFT+", "shift+"}, {"ALT+", "alt+"}};

// F1 ... F12.
std::string functionKey(const std::string& name) {
  if (name.size() < 2 || name.size() > 3 || name[0] != 'F') return std::string();
  int number = 0;
  for (char c : name.substr(1)) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return std::string();
    number = number * 10 + (c - '0');
  }
  if (number < 1 || number > 12 || name[1] == '0') return std::string();
  return "F" + std::to_string(number);
}

// One character as its keysym name; with modifiers a letter is taken in
// lower case, so that CTRL+C is Ctrl and c, not Ctrl, Shift and c.
std::string characterKey(unsigned char byte, bool modified) {
  if (byte < 0x20 || byte == 0x7F) return std::string();
  char32_t code = cp1252CodePoint(byte);
  if (modified && code < 0x80) code = char32_t(std::tolower(int(code)));
  KeySym keysym = code < 0x100 ? KeySym(code) : KeySym(0x1000000 | code);
  const char* name = XKeysymToString(keysym);
  if (name) return name;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "U%04X", unsigned(code));
  return buffer;
}

}  // namespace

std::string keySequenceFor(std::string_view name) {
  std::string modifiers;
  for (bool found = true; found;) {
    found = false;
    for (const KeyName& prefix : kPrefixes) {
      size_t length = std::strlen(prefix.name);
      if (name.size() > length && upperAscii(name).starts_with(prefix.name)) {
        modifiers += prefix.keysym;
        name.remove_prefix(length);
        found = true;
      }
    }
  }
  if (name.size() == 1) {
    std::string key = characterKey(static_cast<unsigned char>(name[0]), !modifiers.empty());
    return key.empty() ? key : modifiers + key;
  }
  std::string word = upperAscii(name);
  for (const KeyName& key : kKeyNames) {
    if (word == key.name) return modifiers + key.keysym;
  }
  std::string function = functionKey(word);
  return function.empty() ? function : modifiers + function;
}

}  // namespace varlo
