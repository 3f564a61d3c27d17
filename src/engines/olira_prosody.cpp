// The Olira prosody file (durations, key words, pitch levels, intonation
// rules), the tokenizer that classes words, and the intonation codes.
#include "engines/olira_prosody.h"

#include <algorithm>
#include <charconv>

#include "base/codepage.h"
#include "engines/olira_text.h"

namespace varlo {

namespace {

struct Duration {
  std::string phoneme;  // at most 2 characters
  int ms;
};

struct TChave {
  std::string word;
  std::string cls;  // at most 2 characters
};

struct TProsodia {
  std::string previous, current, next;  // class patterns, "" matches any
  std::string code;
};

constexpr size_t kMaxDurations = 100;
constexpr size_t kMaxKeys = 1000;
constexpr size_t kMaxRules = 300;
constexpr int kDefaultHertz = 230;
constexpr int kBadDuration = 100;

std::vector<Duration> durations;
std::vector<TChave> keys;
std::vector<TProsodia> rules;
int hertz = kDefaultHertz;
int levels[10] = {};

bool parseInt(std::string_view text, int& value) {
  text = trimBlanks(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

// The lines of a section: after the first line equal to its header once
// trimmed, up to a line beginning with "["; comments and empty lines left
// out, lines trimmed. False when the header is missing.
bool sectionLines(const std::vector<std::string_view>& file, std::string_view header,
                  std::vector<std::string_view>& lines) {
  auto start = std::find_if(file.begin(), file.end(),
                            [&](std::string_view l) { return trimBlanks(l) == header; });
  if (start == file.end()) return false;
  for (auto it = start + 1; it != file.end(); ++it) {
    std::string_view line = trimBlanks(*it);
    if (line.empty() || line[0] == '*' || line[0] == ';') continue;
    if (line[0] == '[') break;
    lines.push_back(line);
  }
  return true;
}

std::string wrongLine(const char* what, std::string_view line) {
  return utf8ToCp1252(what) + std::string(line);
}

bool readDurations(const std::vector<std::string_view>& file, std::string& message) {
  std::vector<std::string_view> lines;
  if (!sectionLines(file, utf8ToCp1252("[DURAÇÃO]"), lines)) {
    message = utf8ToCp1252("Duração dos difones errada ou ausente");
    return false;
  }
  for (std::string_view line : lines) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      message = wrongLine("Configuração da prosódia: fonema errado: ", line);
      return false;
    }
    if (durations.size() == kMaxDurations) continue;
    int ms;
    if (!parseInt(line.substr(eq + 1), ms)) {
      message = wrongLine("Configuração da prosódia: fonema errado: ", line);
      ms = kBadDuration;
    }
    durations.push_back({std::string(trimBlanks(line.substr(0, eq)).substr(0, 2)), ms});
  }
  return true;
}

bool readKeys(const std::vector<std::string_view>& file, std::string& message) {
  std::vector<std::string_view> lines;
  if (!sectionLines(file, "[CHAVES]", lines)) {
    message = utf8ToCp1252("Prosódia: palavras chaves ausentes");
    return false;
  }
  for (std::string_view line : lines) {
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
      message = wrongLine("Configuração da prosódia: chave errada: ", line);
      return false;
    }
    if (keys.size() == kMaxKeys) continue;
    keys.push_back({upperAnsi(trimBlanks(line.substr(0, eq))),
                    upperAnsi(trimBlanks(line.substr(eq + 1)).substr(0, 2))});
  }
  std::stable_sort(keys.begin(), keys.end(),
                   [](const TChave& a, const TChave& b) { return a.word < b.word; });
  return true;
}

bool readTabHertz(std::string_view values) {
  int read[10];
  for (int i = 0; i < 10; ++i) {
    size_t comma = values.find(',');
    if ((comma == std::string_view::npos) != (i == 9)) return false;
    if (!parseInt(values.substr(0, comma), read[i])) return false;
    values.remove_prefix(comma == std::string_view::npos ? values.size() : comma + 1);
  }
  std::copy(read, read + 10, levels);
  return true;
}

TProsodia parseProsodyRule(std::string_view line, size_t eq) {
  TProsodia rule;
  std::string* fields[] = {&rule.previous, &rule.current, &rule.next};
  std::string_view patterns = line.substr(0, eq);
  for (std::string* field : fields) {
    size_t bar = patterns.find('|');
    *field = trimBlanks(patterns.substr(0, bar)).substr(0, 3);
    patterns.remove_prefix(bar == std::string_view::npos ? patterns.size() : bar + 1);
  }
  rule.code = trimBlanks(line.substr(eq + 1));
  return rule;
}

bool readRules(const std::vector<std::string_view>& file, std::string& message) {
  std::vector<std::string_view> lines;
  if (!sectionLines(file, utf8ToCp1252("[PROSÓDIA]"), lines)) {
    message = utf8ToCp1252("Prosódia: especificações ausentes");
    return false;
  }
  for (std::string_view raw : lines) {
    std::string line = upperAnsi(raw);
    std::string_view view = line;
    if (view.starts_with("TABHERTZ=")) {
      if (!readTabHertz(view.substr(9)))
        message = wrongLine("Configuração da prosódia: tons errados: ", raw);
      continue;
    }
    if (view.starts_with("HERTZ=")) {
      if (!parseInt(view.substr(6), hertz)) {
        message = wrongLine("Configuração da prosódia: tons errados: ", raw);
        hertz = kDefaultHertz;
      }
      continue;
    }
    size_t eq = view.find('=');
    if (eq == std::string_view::npos) {
      message = wrongLine("Configuração da prosódia: chave errada: ", raw);
      return false;
    }
    if (rules.size() < kMaxRules) rules.push_back(parseProsodyRule(view, eq));
  }
  return true;
}

void clearTables() {
  durations.clear();
  keys.clear();
  rules.clear();
  hertz = kDefaultHertz;
  std::fill(std::begin(levels), std::end(levels), 0);
}

std::string keyClass(std::string_view word) {
  std::string key = upperAnsi(word);
  auto it = std::lower_bound(keys.begin(), keys.end(), key,
                             [](const TChave& k, const std::string& w) { return k.word < w; });
  return it != keys.end() && it->word == key ? it->cls : "XX";
}

std::string classOf(const std::string& entry) {
  return entry.size() >= 3 ? entry.substr(1, 2) : entry.substr(std::min<size_t>(1, entry.size()));
}

bool fits(const std::string& pattern, const std::string& cls) {
  return pattern.empty() || pattern == cls;
}

}  // namespace

bool loadProsody(const std::string& path, std::string& message) {
  clearTables();
  message.clear();
  std::string text;
  if (!readDataFile(path, text)) {
    message = utf8ToCp1252("Configuração da prosódia não foi achada");
    return false;
  }
  std::vector<std::string_view> file = splitLines(text);
  return readDurations(file, message) && readKeys(file, message) && readRules(file, message);
}

int phonemeDuration(std::string_view phoneme, bool& found) {
  for (const Duration& d : durations) {
    if (d.phoneme == phoneme) {
      found = true;
      return d.ms;
    }
  }
  found = false;
  return kBadDuration;
}

int baseHertz() { return hertz; }
int pitchLevel(int digit) { return digit >= 0 && digit <= 9 ? levels[digit] : 0; }

std::vector<std::string> tokenize(std::string_view text) {
  std::vector<std::string> list{"[--]"};
  size_t pos = 0;
  while (true) {
    // The hyphen of a compound word (guarda-chuva) separates like a blank;
    // as a token it would take the class of a sentence boundary.
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '-')) ++pos;
    if (pos >= text.size()) break;
    std::string entry;
    if (text.compare(pos, 2, "..") == 0) {
      entry = "[.-].";
      while (pos < text.size() && text[pos] == '.') ++pos;
    } else if (!isOliraLetter((unsigned char)text[pos])) {
      entry = std::string("[") + text[pos] + text[pos] + "]" + text[pos];
      ++pos;
    } else {
      size_t start = pos;
      while (pos < text.size() && isOliraLetter((unsigned char)text[pos])) ++pos;
      std::string_view word = text.substr(start, pos - start);
      entry = "[" + keyClass(word) + "]" + std::string(word);
    }
    list.push_back(entry);
    char first = entry[4];
    if (first == '.' || first == '!' || first == '?') list.push_back("[--]");
  }
  return list;
}

std::vector<std::string> intonationCodes(const std::vector<std::string>& tokens) {
  std::vector<std::string> coded;
  char carried = '5';
  for (size_t i = 0; i < tokens.size(); ++i) {
    std::string previous = i > 0 ? classOf(tokens[i - 1]) : "";
    std::string current = classOf(tokens[i]);
    std::string next = i + 1 < tokens.size() ? classOf(tokens[i + 1]) : "";
    std::string code = "555";
    for (const TProsodia& r : rules) {
      if (fits(r.previous, previous) && fits(r.current, current) && fits(r.next, next)) {
        code = r.code;
        break;
      }
    }
    code.resize(3, '5');  // a header always carries three levels
    if (code[0] == '?') code[0] = carried;
    carried = code[2];
    coded.push_back(code + "|" + (tokens[i].size() > 4 ? tokens[i].substr(4) : ""));
  }
  return coded;
}

}  // namespace varlo
