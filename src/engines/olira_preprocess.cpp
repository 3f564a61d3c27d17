#include "engines/olira_preprocess.h"

#include <vector>

#include "base/codepage.h"
#include "engines/olira_numbers.h"
#include "engines/olira_text.h"

namespace varlo {

namespace {

struct Abbreviation {
  std::string key;        // upper case
  std::string expansion;  // case kept
};

constexpr size_t kMaxAbbreviations = 2000;
std::vector<Abbreviation> abbreviations;

// Names of codes 32 ... 126 (letters share the names of A–Z) and 161 ... 220;
// 224 ... 252 take the names 32 codes lower.
const std::vector<std::string>& lowNames() {
  static const std::vector<std::string> t = [] {
    const char* names[] = {
        "espaço", "exclamação", "aspas", "sustenido", "cifrão", "porcento",
        "é comercial", "apóstrofo", "abre parênteses", "fecha parênteses", "asterisco",
        "mais", "vírgula", "traço", "ponto", "barra",
        "zéro", "um", "dois", "três", "quatro", "cinco", "seis", "séte", "oito", "nóve",
        "dois pontos", "ponto e vírgula", "menor que", "igual", "maior que",
        "interrogação", "arrôba",
        "a", "bê", " sê", " dê", "é", "éfe", "jê", "agá", "i", "jóta", "cá", "éle",
        "ême", "êne", "ó", "pê", "quê", "érre", "ésse", "tê", "u", "vê", "dábliu",
        "xis", "ípsilon", "zê",
        "abre colchete", "raiz", "fecha colchete", "circunflexo", "sublinhado", "crase"};
    std::vector<std::string> v;
    for (const char* n : names) v.push_back(utf8ToCp1252(n));
    return v;
  }();
  return t;
}

const std::vector<std::string>& braceNames() {  // 123 ... 126
  static const std::vector<std::string> t = {"abre chave", "barra vertical",
                                             "fecha chave", "til"};
  return t;
}

const std::vector<std::string>& highNames() {  // 161 ... 220
  static const std::vector<std::string> t = [] {
    const char* names[] = {
        "exclamação reversa", "centavos de dólar", "libras", "símbolo de moeda", "iene",
        "barra interrompida", "parágrafo", "trema", "copyright", "ordinal feminino",
        "Aspas esquerdas", "negação", "hífen", "Marca registrada", "mácron", "grau",
        "mais ou menos", "elevado ao quadrado", "elevado ao cubo", "acento agudo", "mi",
        "pi", "ponto no meio", "cedilha", "expoente um", "ordinal masculino",
        "aspas direitas", "um quarto", "um meio", "três quartos", "interrogação reversa",
        "A grave", "A agudo", "A circunflexo", "A com til", "A com trema", "A bola",
        "A É", "Cê cedilha", "É grave", "É agudo", "É circunflexo", "É com trema",
        "I grave", "I agudo", "I circunflexo", "I com trema", "Dê cortado", "N com til",
        "Ó grave", "Ó agudo", "Ó circunflexo", "Ó com til", "Ó tremado", "vezes",
        "Ó cortado", "U grave", "U agudo", "U circunflexo", "U com trema"};
    std::vector<std::string> v;
    for (const char* n : names) v.push_back(utf8ToCp1252(n));
    return v;
  }();
  return t;
}

bool isKeptPunctuation(char c) {
  switch (c) {
    case ' ': case '!': case '(': case ')': case ',': case '.': case ':': case ';': case '?':
      return true;
    default:
      return false;
  }
}

char at(std::string_view text, size_t i) { return i < text.size() ? text[i] : '\0'; }

// An abbreviation ends with a dot that is followed by a blank.
bool dotEndsAbbreviation(std::string_view text, size_t i) {
  return at(text, i) == '.' && at(text, i + 1) == ' ';
}

std::string spelled(std::string_view word) {
  std::string out;
  for (char c : word) out += " " + charName((unsigned char)c);
  return out;
}

// Reads the word at pos (letters, and a "-" that follows a letter) and
// appends what is to be said for it.
void appendWord(std::string_view text, size_t& pos, std::string& out) {
  size_t start = pos;
  bool vowel = false;
  while (pos < text.size()) {
    unsigned char c = text[pos];
    if (isOliraLetter(c)) {
      vowel = vowel || !isOliraConsonant(c);
      ++pos;
    } else if (c == '-' && pos > start && isOliraLetter((unsigned char)text[pos - 1])) {
      ++pos;
    } else {
      break;
    }
  }
  std::string_view word = text.substr(start, pos - start);
  if (dotEndsAbbreviation(text, pos)) {
    std::string expansion = findAbbreviation(word);
    if (!expansion.empty()) {
      out += expansion;
      ++pos;
      return;
    }
  }
  out += vowel ? std::string(word) : spelled(word);
}

void appendNumber(std::string_view text, size_t& pos, std::string& out) {
  out += " " + readNumber(text, pos) + " ";
  while ((at(text, pos) == ',' || at(text, pos) == '.') && isAsciiDigit(at(text, pos + 1))) {
    out += utf8ToCp1252(text[pos] == ',' ? "vírgula " : "ponto ");
    ++pos;
    out += readNumber(text, pos) + " ";
  }
}

// En and em dashes are read as the plain dash.
std::string plainDashes(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if ((unsigned char)c == 0x96 || (unsigned char)c == 0x97) c = '-';
  return out;
}

}  // namespace

std::string charName(unsigned char code) {
  if (code >= 'a' && code <= 'z') code -= 32;
  if (code >= 224 && code <= 252) code -= 32;
  if (code >= 32 && code <= 96) return lowNames()[code - 32];
  if (code >= 123 && code <= 126) return braceNames()[code - 123];
  if (code >= 161 && code <= 220) return highNames()[code - 161];
  return "";
}

bool loadAbbreviations(const std::string& path) {
  std::string text;
  abbreviations.clear();
  if (!readDataFile(path, text)) return false;
  for (std::string_view raw : splitLines(text)) {
    std::string_view line = trimBlanks(raw);
    if (line.empty() || line[0] == ';') continue;
    size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    std::string key = upperAnsi(trimBlanks(line.substr(0, eq)));
    if (key.empty()) continue;
    if (abbreviations.size() == kMaxAbbreviations) break;
    abbreviations.push_back({key, std::string(trimBlanks(line.substr(eq + 1)))});
  }
  return true;
}

std::string findAbbreviation(std::string_view word) {
  std::string key = upperAnsi(word);
  for (const Abbreviation& a : abbreviations)
    if (a.key == key) return a.expansion;
  return "";
}

std::string preprocess(std::string_view original) {
  std::string text = plainDashes(original);
  if (text.size() == 1) return charName((unsigned char)text[0]);
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    unsigned char c = text[pos];
    if (c == '-' && pos > 0 && text[pos - 1] == ' ' && at(text, pos + 1) == ' ') {
      out += ',';
      ++pos;
    } else if (c == '-' && isAsciiDigit(at(text, pos + 1))) {
      out += "menos ";
      ++pos;
    } else if (isAsciiDigit(c)) {
      appendNumber(text, pos, out);
    } else if (isOliraLetter(c)) {
      appendWord(text, pos, out);
    } else if (text.compare(pos, 3, "...") == 0) {
      out += "... ";
      pos += 3;
    } else if (c == '.' && pos + 1 < text.size() && text[pos + 1] != ' ') {
      out += " ponto ";
      ++pos;
    } else if (isKeptPunctuation(c)) {
      out += char(c);
      ++pos;
    } else {
      if (c != '\t' && c != '\n' && c != '\r') out += " " + charName(c) + " ";
      ++pos;
    }
  }
  return out;
}

}  // namespace varlo
