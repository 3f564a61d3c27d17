// The words of an MCI command string: quoted names, keywords with values,
// flags, numbers, and the error replies that quote them.
#include "sound/mci_words.h"

#include <algorithm>
#include <cctype>

#include "base/codepage.h"

namespace varlo {

namespace {

// Names quoted in error texts are cut here, so a runaway string is not read
// out for minutes.
constexpr size_t kQuotedName = 80;

bool isValueKeyword(const std::string& word) {
  return word == "from" || word == "to" || word == "alias" || word == "type";
}

std::string shortName(std::string_view name) {
  if (name.size() <= kQuotedName) return std::string(name);
  return std::string(name.substr(0, kQuotedName)) + "...";
}

}  // namespace

std::string mciLower(std::string_view word) {
  std::string out(word);
  for (char& c : out) c = char(std::tolower(uint8_t(c)));
  return out;
}

MciReply mciError(int code, const char* utf8Text, std::string_view detail) {
  std::string text = "Erro MCI " + std::to_string(code) + ": " + utf8ToCp1252(utf8Text);
  if (!detail.empty()) text += ": " + shortName(detail);
  return {code, text};
}

bool splitWords(std::string_view command, std::vector<std::string>& words) {
  size_t at = 0;
  while (at < command.size()) {
    while (at < command.size() && std::isspace(uint8_t(command[at]))) ++at;
    if (at == command.size()) break;
    if (command[at] == '"') {
      size_t close = command.find('"', at + 1);
      if (close == std::string_view::npos) return false;
      words.emplace_back(command.substr(at + 1, close - at - 1));
      at = close + 1;
      continue;
    }
    size_t end = at;
    while (end < command.size() && !std::isspace(uint8_t(command[end]))) ++end;
    words.emplace_back(command.substr(at, end - at));
    at = end;
  }
  return true;
}

bool readOptions(const std::vector<std::string>& words, size_t first, Options& out,
                 std::string& bad) {
  for (size_t i = first; i < words.size(); ++i) {
    std::string word = mciLower(words[i]);
    if (isValueKeyword(word)) {
      if (i + 1 == words.size()) {
        bad = words[i];
        return false;
      }
      out.values.emplace_back(word, words[++i]);
    } else {
      out.flags.push_back(word);
    }
  }
  return true;
}

bool hasFlag(const Options& options, const char* flag) {
  return std::find(options.flags.begin(), options.flags.end(), flag) != options.flags.end();
}

const std::string* valueOf(const Options& options, const char* keyword) {
  for (auto& [key, value] : options.values)
    if (key == keyword) return &value;
  return nullptr;
}

// Flags other than the given ones, as the first one found.
const std::string* strayFlag(const Options& options, std::initializer_list<const char*> allowed) {
  for (auto& flag : options.flags) {
    bool known = flag == "wait" || flag == "notify";
    for (const char* ok : allowed) known = known || flag == ok;
    if (!known) return &flag;
  }
  return nullptr;
}

// A keyword with a value that the command does not take.
const std::string* strayValue(const Options& options, std::initializer_list<const char*> allowed) {
  for (auto& [key, value] : options.values) {
    bool known = false;
    for (const char* ok : allowed) known = known || key == ok;
    if (!known) return &key;
  }
  return nullptr;
}

bool readMillis(const std::string& text, uint64_t& out) {
  if (text.empty() || text.size() > 12) return false;
  out = 0;
  for (char c : text) {
    if (!std::isdigit(uint8_t(c))) return false;
    out = out * 10 + uint64_t(c - '0');
  }
  return true;
}

}  // namespace varlo
