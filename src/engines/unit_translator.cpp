// Rule conversion of the suite synthesizer's translator, with its exception
// dictionary: each word is respelled, stressed, then rewritten into units by
// the first rule whose match and contexts fit.
#include "engines/unit_translator.h"

#include <algorithm>
#include <array>
#include <vector>

#include "engines/olira_text.h"
#include "engines/rule_line.h"
#include "engines/unit_stress.h"
#include "engines/unit_text.h"

namespace varlo {
namespace {

struct UnitRule {
  std::string left, match, right;   // at most 5 characters each
  std::string output;               // at most 11 characters
};

struct UnitException {
  std::string key, value;
};

constexpr size_t kOutputLength = 11;
constexpr size_t kMaxExceptions = 15000;
constexpr int kFirstRuleCode = 32, kLastRuleCode = 95;

std::array<std::vector<UnitRule>, kLastRuleCode + 1> rules;
std::vector<UnitException> exceptions;

unsigned char upper(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; }
bool isFront(unsigned char c) { return c == 'e' || c == 'i' || c == 'E' || c == 'I'; }
bool isBack(unsigned char c) { return c == 'a' || c == 'o' || c == 'A' || c == 'O'; }
bool isVowelOrMark(unsigned char c) { return isUnitVowel(c) || isUnitMark(c); }
bool isOneOf(unsigned char c, std::string_view set) {
  return c && set.find(char(c | 0x20)) != std::string_view::npos;
}

// The word under conversion; positions are 1-based, 0 is before the word.
struct Word {
  std::string_view w;
  int size() const { return int(w.size()); }
  unsigned char at(int pos) const {
    return pos >= 1 && pos <= size() ? (unsigned char)w[pos - 1] : '\0';
  }
};

bool leftMatches(const Word& v, std::string_view pattern, int pos) {
  for (int k = int(pattern.size()) - 1; k >= 0; --k) {
    const unsigned char c = v.at(pos);
    switch (pattern[k]) {
      case '#':
        if (!isVowelOrMark(c)) return false;
        while (isVowelOrMark(v.at(pos))) --pos;
        break;
      case '%':
        if (pos != 0) return false;
        break;
      case ']':
        if (isBack(c)) --pos;
        else if (isUnitMark(c) && isBack(v.at(pos - 1))) pos -= 2;
        else return false;
        break;
      case '_':
        if (pos == 0) break;
        if (isUnitVowel(c)) --pos;
        else if (isUnitMark(c) && isUnitVowel(v.at(pos - 1))) pos -= 2;
        else return false;
        break;
      case '|':
        if (!isOneOf(c, "nrs")) return false;
        --pos;
        break;
      default:
        if (pos == 0 || upper(c) != (unsigned char)pattern[k]) return false;
        --pos;
    }
  }
  return true;
}

bool rightMatches(const Word& v, std::string_view pattern, int pos) {
  for (char symbol : pattern) {
    const unsigned char c = v.at(pos);
    switch (symbol) {
      case '#':
        if (!isVowelOrMark(c)) return false;
        while (isVowelOrMark(v.at(pos))) ++pos;
        break;
      case '%':
        if (pos <= v.size()) return false;
        break;
      case '&':
        if (!isOneOf(c, "lmnrz")) return false;
        ++pos;
        break;
      case '*':
        if (!isUnitConsonant(c) || isOneOf(c, "lr")) return false;
        break;
      case '+':
        if (!isFront(c)) return false;
        ++pos;
        if (isUnitMark(v.at(pos))) ++pos;
        break;
      case '[':
        if (pos <= v.size() && (!isUnitConsonant(c) || isOneOf(c, "h"))) return false;
        break;
      case '\\':
        if (isOneOf(c, "s")) ++pos;
        break;
      default:
        if (upper(c) != (unsigned char)symbol) return false;
        ++pos;
    }
  }
  return true;
}

bool matchesAt(const Word& v, const std::string& match, int pos) {
  for (size_t k = 0; k < match.size(); ++k)
    if (upper(v.at(pos + int(k))) != (unsigned char)match[k]) return false;
  return true;
}

const UnitRule* findRule(const Word& v, int pos) {
  const unsigned char key = upper(v.at(pos));
  if (key < kFirstRuleCode || key > kLastRuleCode) return nullptr;
  for (const UnitRule& r : rules[key]) {
    if (matchesAt(v, r.match, pos) && leftMatches(v, r.left, pos - 1) &&
        rightMatches(v, r.right, pos + int(r.match.size())))
      return &r;
  }
  return nullptr;
}

void upperFirstVowel(std::string& out) {
  for (char& c : out) {
    if (isUnitVowel(c)) {
      c = char(upper(c));
      return;
    }
  }
}

std::string convertWord(std::string_view word) {
  const Word v{word};
  std::string group = "[";
  for (int pos = 1; pos <= v.size();) {
    const unsigned char c = v.at(pos);
    std::string out = std::string(" /_") + char(upper(c));
    int advance = 1;
    if (const UnitRule* rule = findRule(v, pos)) {
      out = rule->output;
      advance = int(rule->match.size());
    }
    if (c >= 'A' && c <= 'Z' && isUnitVowel(c)) upperFirstVowel(out);
    group += out;
    pos += advance;
    if (pos <= v.size()) group += '/';
  }
  return group + "]";
}

bool isSpelled(std::string_view word) {
  for (unsigned char c : word)
    if (!isUnitConsonant(c) && std::string_view(" !,.:;?").find(char(c)) == std::string_view::npos)
      return false;
  return true;
}

std::string spellWord(std::string_view word) {
  std::string groups;
  for (char c : word) groups += std::string("[ /_") + c + "]";
  return groups;
}

bool parseRuleLine(std::string_view line, UnitRule& rule) {
  RuleLineParts parts;
  if (!splitRuleLine(line, parts)) return false;
  // Blanks before a comment bar are part of the output.
  std::string_view output = parts.commented ? parts.output : trimBlanks(parts.output);
  while (!output.empty() && output.front() == ' ') output.remove_prefix(1);
  rule.left = parts.left;
  rule.match = parts.match;
  rule.right = parts.right;
  rule.output = output.substr(0, kOutputLength);
  const unsigned char key = rule.match[0];
  return key >= kFirstRuleCode && key <= kLastRuleCode;
}

const std::string* findException(const std::string& key) {
  auto it = std::lower_bound(exceptions.begin(), exceptions.end(), key,
                             [](const UnitException& e, const std::string& k) { return e.key < k; });
  return it != exceptions.end() && it->key == key ? &it->value : nullptr;
}

}  // namespace

bool loadTranslatorRules(const std::string& path) {
  for (auto& list : rules) list.clear();
  std::string text;
  if (!readDataFile(path, text)) return false;
  for (std::string_view raw : splitLines(text)) {
    std::string_view line = trimBlanks(raw);
    UnitRule rule;
    // Lines that are not rules (blank, comment or malformed) are passed over:
    // one faulty line must not leave the user without a voice.
    if (line.empty() || line[0] == ';' || !parseRuleLine(raw, rule)) continue;
    rules[(unsigned char)rule.match[0]].push_back(rule);
  }
  return true;
}

bool loadTranslatorExceptions(const std::string& path) {
  exceptions.clear();
  std::string text;
  if (!readDataFile(path, text)) return false;
  for (std::string_view raw : splitLines(text)) {
    if (exceptions.size() == kMaxExceptions) break;
    std::string_view line = trimBlanks(raw);
    size_t eq = line.find('=');
    if (line.empty() || line[0] == ';' || eq == std::string_view::npos) continue;
    std::string_view value = line.substr(eq + 1);
    value = trimBlanks(value.substr(0, value.find('|')));
    exceptions.push_back({std::string(trimBlanks(line.substr(0, eq))), std::string(value)});
  }
  std::stable_sort(exceptions.begin(), exceptions.end(),
                   [](const UnitException& a, const UnitException& b) { return a.key < b.key; });
  return true;
}

void releaseTranslatorRules() {
  for (auto& list : rules) list.clear();
  exceptions.clear();
}

std::string respellUnitWord(const std::string& word) {
  std::string stem = word, suffix;
  while (true) {
    if (stem.empty()) return word;
    if (const std::string* value = findException(stem)) return *value + suffix;
    if ( (stem.back() != 's' && stem.back() != 'm')) return word;
    suffix.insert(suffix.begin(), stem.back());
    stem.pop_back();
  }
}

std::string translateText(std::string_view text) {
  const std::string normal = normalizeUnitText(text);
  std::string units;
  size_t pos = 0;
  UnitWord word;
  while (nextUnitWord(normal, pos, word)) {
    word.text = respellUnitWord(word.text);
    measureUnitWord(word);
    markUnitStress(word);
    units += isSpelled(word.text) ? spellWord(word.text) : convertWord(word.text);
  }
  return units;
}

}  // namespace varlo
