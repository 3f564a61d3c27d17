// Olira letter-to-sound: the rule file and exception dictionary, and the
// rewriting of each coded token into phoneme lines around its stressed vowel.
#include "engines/olira_rules.h"

#include <algorithm>
#include <array>

#include "base/codepage.h"
#include "engines/olira_stress.h"
#include "engines/olira_text.h"
#include "engines/rule_line.h"

namespace varlo {

namespace {

struct Rule {
  std::string left;    // at most 5 characters
  std::string match;   // 1 to 5 characters
  std::string right;   // at most 5 characters
  std::string output;  // at most 20 characters, 11 used
};

struct Exception {
  std::string key;
  std::string value;
};

constexpr size_t kOutputLength = 20;
constexpr size_t kOutputUsed = 11;
constexpr size_t kMaxExceptions = 15000;

std::array<std::vector<Rule>, 256> rulesByLetter;
std::vector<Exception> exceptions;
std::string loadError;

// The word being converted, with its stress and the rule under test.
struct WordView {
  std::string_view w;  // upper case
  int stress;          // 1-based, 0 for none
};

unsigned char letterAt(const WordView& v, int pos) {  // 1-based
  return (unsigned char)v.w[pos - 1];
}

bool isFrontVowel(unsigned char c) { return c == 'E' || c == 'I' || c == 0xC9 || c == 0xCD; }
bool isBackVowel(unsigned char c) {
  return c == 'A' || c == 'O' || c == 0xC1 || c == 0xC2 || c == 0xD3 || c == 0xD4;
}
bool isSonorant(unsigned char c) {
  return c == 'L' || c == 'M' || c == 'N' || c == 'R' || c == 'Z';
}
bool isNRS(unsigned char c) { return c == 'N' || c == 'R' || c == 'S'; }

bool matchesAt(const WordView& v, const std::string& match, int start) {
  if (start - 1 + int(match.size()) > int(v.w.size())) return false;
  return v.w.compare(start - 1, match.size(), match) == 0;
}

// Left context, read from its last symbol leftwards from the letter before
// the match (position 0 is the place before the first letter).
bool leftMatches(const WordView& v, const std::string& pattern, int matchStart) {
  int pos = matchStart - 1;
  for (int k = int(pattern.size()) - 1; k >= 0; --k) {
    char s = pattern[k];
    unsigned char c = pos >= 1 ? letterAt(v, pos) : 0;
    switch (s) {
      case '%':
        if (pos != 0) return false;
        break;
      case '\'':
        if (v.stress != matchStart) return false;
        break;
      case '_':
        if (pos == 0) break;
        if (!isOliraVowel(c)) return false;
        --pos;
        break;
      case '#':
        if (pos < 1 || !isOliraVowel(c)) return false;
        --pos;
        break;
      case ']':
        if (pos < 1 || !isBackVowel(c)) return false;
        --pos;
        break;
      case '|':
        if (pos < 1 || !isNRS(c)) return false;
        --pos;
        break;
      default:
        if (pos < 1 || c != (unsigned char)s) return false;
        --pos;
    }
  }
  return true;
}

// Right context, read from its first symbol rightwards from the letter
// after the match.
bool rightMatches(const WordView& v, const std::string& pattern, int after) {
  int pos = after;
  int size = int(v.w.size());
  for (char s : pattern) {
    bool inside = pos <= size;
    unsigned char c = inside ? letterAt(v, pos) : 0;
    switch (s) {
      case '%':
        if (inside) return false;
        break;
      case '#':
        if (!inside || !isOliraVowel(c)) return false;
        ++pos;
        break;
      case '&':
        if (!inside || !isSonorant(c)) return false;
        ++pos;
        break;
      case '*':
        if (!inside || !isOliraConsonant(c) || c == 'L' || c == 'R') return false;
        break;
      case '+':
        if (!inside || !isFrontVowel(c)) return false;
        ++pos;
        break;
      case '[':
        if (inside && (!isOliraConsonant(c) || c == 'H')) return false;
        break;
      case '\\':
        if (inside && c == 'S') ++pos;
        break;
      default:
        if (!inside || c != (unsigned char)s) return false;
        ++pos;
    }
  }
  return true;
}

const Rule* findRule(const WordView& v, int pos) {
  for (const Rule& r : rulesByLetter[letterAt(v, pos)]) {
    if (matchesAt(v, r.match, pos) && leftMatches(v, r.left, pos) &&
        rightMatches(v, r.right, pos + int(r.match.size())))
      return &r;
  }
  return nullptr;
}

// Rewrites the word into phoneme lines; the last line pushed is the
// (normally empty) phoneme left under construction, which ends the word.
void convertWord(const WordView& v, std::vector<std::string>& out) {
  std::string phone;
  bool marked = false;
  int pos = 1;
  while (pos <= int(v.w.size())) {
    const Rule* rule = findRule(v, pos);
    if (!rule) {
      ++pos;
      continue;
    }
    size_t used = std::min(rule->output.size(), kOutputUsed);
    for (size_t k = 0; k < used; ++k) {
      if (!marked && v.stress > 0 && pos >= v.stress) {
        phone += '>';
        marked = true;
      }
      if (rule->output[k] == '&') {
        out.push_back(phone);
        phone.clear();
      } else {
        phone += rule->output[k];
      }
    }
    if (used > 0) {
      out.push_back(phone);
      phone.clear();
    }
    pos += int(rule->match.size());
  }
  out.push_back(phone);
}

const std::string* findException(const std::string& key) {
  auto it = std::lower_bound(exceptions.begin(), exceptions.end(), key,
                             [](const Exception& e, const std::string& k) { return e.key < k; });
  if (it != exceptions.end() && it->key == key) return &it->value;
  return nullptr;
}

// Á Â Ã É Ê Í Ó Ô Õ Ú: a short word that carries one is stressed (já, só, é).
bool hasStressAccent(const std::string& w) {
  return w.find_first_of(utf8ToCp1252("ÁÂÃÉÊÍÓÔÕÚ")) != std::string::npos;
}

bool hasNoStress(const std::string& w) {
  static const std::string words[] = {"POR", "DAS", "DOS", "COM", utf8ToCp1252("NÃO"), "SIM"};
  if (w.size() <= 2) return !hasStressAccent(w);
  return std::find(std::begin(words), std::end(words), w) != std::end(words);
}

const char* pauseLine(char c) {
  switch (c) {
    case ',': return "_,";
    case '.': return "_.";
    case ':': return "_:";
    case ';': return "_;";
    case '(': return "_(";
    case ')': return "_)";
    case '!': return "_!";
    case '?': return "_?";
    default: return nullptr;
  }
}

bool isPunctuationStart(char c) { return c == ' ' || pauseLine(c) != nullptr; }

void convertToken(std::string_view text, std::vector<std::string>& out) {
  std::string w = upperAnsi(text);
  if (w.empty()) {
    out.push_back("__");
    out.push_back("");
  } else if (isPunctuationStart(w[0])) {
    if (const char* pause = pauseLine(w[0])) out.push_back(pause);
  } else {
    w = respell(w);
    WordView view{w, hasNoStress(w) ? 0 : findStress(w)};
    convertWord(view, out);
  }
}

bool startsWithVowelPhoneme(std::string_view line) {
  if (!line.empty() && ((unsigned char)line[0] == 0xA8 || line[0] == '>')) line.remove_prefix(1);
  return !line.empty() && std::string_view("aeiouwy").find(line[0]) != std::string_view::npos;
}

// A word-final "r2" or "s2" before a word that begins with a vowel is
// linked to it: "r" and "z".
void linkWords(std::vector<std::string>& lines) {
  for (size_t h = 3; h + 1 < lines.size(); ++h) {
    if (lines[h].empty() || lines[h][0] != ';') continue;
    if (!startsWithVowelPhoneme(lines[h + 1])) continue;
    std::string& last = lines[h - 2];
    if (last == "r2") last = "r";
    else if (last == "s2") last = "z";
  }
}

bool parseRule(std::string_view line, Rule& rule) {
  RuleLineParts parts;
  if (!splitRuleLine(line, parts)) return false;
  rule.left = parts.left;
  rule.match = parts.match;
  rule.right = parts.right;
  rule.output = trimBlanks(parts.output).substr(0, kOutputLength);
  return (unsigned char)rule.match[0] >= 32;
}

bool loadRuleFile(const std::string& path) {
  std::string text;
  if (!readDataFile(path, text)) {
    loadError = utf8ToCp1252("Arquivo de regras não foi achado: ") + path;
    return false;
  }
  int number = 0;
  for (std::string_view raw : splitLines(text)) {
    ++number;
    std::string_view line = trimBlanks(raw);
    if (line.empty() || line[0] == ';') continue;
    Rule rule;
    if (!parseRule(line, rule)) {
      loadError = "Regra errada na linha " + std::to_string(number) + " de " + path +
                  ": " + std::string(line);
      return false;
    }
    rulesByLetter[(unsigned char)rule.match[0]].push_back(rule);
  }
  return true;
}

bool loadExceptionFile(const std::string& path) {
  std::string text;
  if (!readDataFile(path, text)) {
    loadError = utf8ToCp1252("Arquivo de exceções não foi achado: ") + path;
    return false;
  }
  for (std::string_view raw : splitLines(text)) {
    if (exceptions.size() == kMaxExceptions) break;
    std::string line = upperAnsi(trimBlanks(raw));
    size_t eq = line.find('=');
    if (line.empty() || line[0] == ';' || eq == std::string::npos) continue;
    std::string value = line.substr(eq + 1);
    value = std::string(trimBlanks(value.substr(0, value.find('|'))));
    exceptions.push_back({std::string(trimBlanks(line.substr(0, eq))), value});
  }
  std::stable_sort(exceptions.begin(), exceptions.end(),
                   [](const Exception& a, const Exception& b) { return a.key < b.key; });
  return true;
}

}  // namespace

void releaseRules() {
  for (auto& list : rulesByLetter) list.clear();
  exceptions.clear();
}

bool loadRules(const std::string& rulesFile, const std::string& exceptionsFile) {
  releaseRules();
  loadError.clear();
  return loadRuleFile(rulesFile) && loadExceptionFile(exceptionsFile);
}

const std::string& ruleLoadError() { return loadError; }

std::string respell(std::string_view word) {
  std::string stem(word), suffix;
  while (true) {
    if (const std::string* value = findException(stem)) return *value + suffix;
    if (stem.empty() || (stem.back() != 'S' && stem.back() != 'M')) break;
    suffix.insert(suffix.begin(), stem.back());
    stem.pop_back();
  }
  return std::string(word);
}

std::vector<std::string> convertTokens(const std::vector<std::string>& codedLines) {
  std::vector<std::string> out;
  for (const std::string& line : codedLines) {
    out.push_back(";" + line);
    size_t bar = line.find('|');
    convertToken(bar == std::string::npos ? std::string_view() : std::string_view(line).substr(bar + 1),
                 out);
  }
  out.push_back("__");
  linkWords(out);
  return out;
}

}  // namespace varlo
