// INI text: looking a key up, replacing or adding one while keeping every
// other byte, and writing a section back atomically.
#include "base/ini_file.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "base/codepage.h"

namespace varlo {

namespace {

constexpr size_t kMaxValue = 255;

bool sameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto ca = static_cast<unsigned char>(a[i]), cb = static_cast<unsigned char>(b[i]);
    if (std::toupper(ca) != std::toupper(cb)) return false;
  }
  return true;
}

std::string_view trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// One line of the text, without its line end.
struct Line {
  size_t start, end, next;  // [start, end) is the content; next starts the following line
};

Line lineAt(std::string_view text, size_t pos) {
  size_t nl = text.find('\n', pos);
  size_t end = nl == std::string_view::npos ? text.size() : nl;
  return {pos, end, nl == std::string_view::npos ? text.size() : nl + 1};
}

// The section named by a header line, nullopt when the line is no header.
std::optional<std::string_view> sectionName(std::string_view line) {
  line = trim(line);
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  size_t close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return trim(line.substr(1, close - 1));
}

// The key of a "KEY=value" line, nullopt for comments and other lines.
std::optional<std::string_view> keyName(std::string_view line, std::string_view* value) {
  std::string_view t = trim(line);
  if (t.empty() || t.front() == ';') return std::nullopt;
  size_t eq = line.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  if (value) *value = line.substr(eq + 1);
  return trim(line.substr(0, eq));
}

struct KeyPlace {
  bool sectionFound = false;
  size_t sectionEnd = 0;          // where a new key of the section would go
  std::optional<Line> keyLine;
};

KeyPlace findKey(std::string_view text, std::string_view section, std::string_view key) {
  KeyPlace place;
  bool inSection = false;
  // Editors often start a UTF-8 file with a byte-order mark: it is no part
  // of the first line, which is usually a section header.
  size_t first = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
  for (size_t pos = first; pos < text.size();) {
    Line l = lineAt(text, pos);
    std::string_view content = text.substr(l.start, l.end - l.start);
    if (auto name = sectionName(content)) {
      inSection = sameWord(*name, section);
      if (inSection) {
        place.sectionFound = true;
        place.sectionEnd = l.next;
      }
    } else if (inSection) {
      if (!trim(content).empty()) place.sectionEnd = l.next;
      auto k = keyName(content, nullptr);
      if (k && sameWord(*k, key) && !place.keyLine) place.keyLine = l;
    }
    pos = l.next;
  }
  return place;
}

std::string unquote(std::string_view v) {
  v = trim(v);
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return std::string(v.substr(0, kMaxValue));
}

// The line ending the file uses, so added lines match it.
std::string_view lineEnding(std::string_view text) {
  size_t nl = text.find('\n');
  return nl != std::string_view::npos && nl > 0 && text[nl - 1] == '\r' ? "\r\n" : "\n";
}

// Values are program text (Windows-1252); a file keeps the encoding it has,
// and one that has no accented letter yet (or is new) is written in UTF-8,
// as text files are on this system.
std::string inFileEncoding(std::string_view fileText, std::string_view value) {
  bool ascii = std::all_of(fileText.begin(), fileText.end(),
                           [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  return ascii || looksLikeUtf8(fileText) ? cp1252ToUtf8(value) : std::string(value);
}

}  // namespace

std::optional<std::string> iniValue(std::string_view text, std::string_view section,
                                    std::string_view key) {
  KeyPlace place = findKey(text, section, key);
  if (!place.keyLine) return std::nullopt;
  std::string_view line = text.substr(place.keyLine->start, place.keyLine->end - place.keyLine->start);
  std::string_view value;
  keyName(line, &value);
  return unquote(value);
}

std::string iniWithValue(std::string_view text, std::string_view section,
                         std::string_view key, std::string_view value) {
  std::string eol(lineEnding(text));
  std::string entry = std::string(key) + "=" + std::string(value);
  KeyPlace place = findKey(text, section, key);
  std::string out(text);
  if (place.keyLine) {
    out.replace(place.keyLine->start, place.keyLine->end - place.keyLine->start,
                entry + (place.keyLine->end > place.keyLine->start &&
                                 text[place.keyLine->end - 1] == '\r' ? "\r" : ""));
    return out;
  }
  if (place.sectionFound) {
    std::string insert = entry + eol;
    if (place.sectionEnd > 0 && out[place.sectionEnd - 1] != '\n') insert = eol + insert;
    out.insert(place.sectionEnd, insert);
    return out;
  }
  if (!out.empty() && out.back() != '\n') out += eol;
  out += "[" + std::string(section) + "]" + eol + entry + eol;
  return out;
}

bool writeIniSection(const std::string& path, std::string_view section,
                     const std::vector<IniEntry>& entries) {
  namespace fs = std::filesystem;
  // A file the user made read-only stays as it is, even for root.
  struct stat st{};
  if (stat(path.c_str(), &st) == 0 && ((st.st_mode & S_IWUSR) == 0 || access(path.c_str(), W_OK) != 0))
    return false;
  std::string text;
  {
    std::ifstream in(path, std::ios::binary);
    if (in) {
      std::ostringstream ss;
      ss << in.rdbuf();
      text = ss.str();
    }
  }
  for (const IniEntry& e : entries)
    text = iniWithValue(text, section, e.key, inFileEncoding(text, e.value));
  std::error_code ec;
  fs::path target(path);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  std::string temp = path + ".novo";
  FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fflush(f) == 0 && ok;
  ok = fsync(fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

}  // namespace varlo
