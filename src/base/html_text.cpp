// HTML to readable lines: one pass over the markup gathering blocks of
// words, each block then wrapped to the width.
#include "base/html_text.h"

#include <cctype>
#include <charconv>
#include <string>

namespace varlo {

namespace {

enum class BlockKind { text, heading, definition };

struct Block {
  BlockKind kind = BlockKind::text;
  std::string words;
};

struct Builder {
  std::vector<Block> blocks;
  bool inHead = false;   // <head>: its title is not part of the text
};

// Characters (not bytes) of UTF-8 text.
size_t characters(std::string_view text) {
  size_t n = 0;
  for (unsigned char c : text) n += (c & 0xC0) != 0x80;
  return n;
}

void appendUtf8(std::string& out, unsigned code) {
  if (code < 0x80) {
    out += char(code);
  } else if (code < 0x800) {
    out += char(0xC0 | (code >> 6));
    out += char(0x80 | (code & 0x3F));
  } else {
    out += char(0xE0 | (code >> 12));
    out += char(0x80 | ((code >> 6) & 0x3F));
    out += char(0x80 | (code & 0x3F));
  }
}

// "#233" or "#xE9"; false when the name is not such a number.
bool numericEntity(std::string_view name, std::string& out) {
  if (name.size() < 2 || name[0] != '#') return false;
  bool hex = name[1] == 'x' || name[1] == 'X';
  std::string_view digits = name.substr(hex ? 2 : 1);
  unsigned code = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
  if (ec != std::errc() || end != digits.data() + digits.size() || code == 0 || code > 0xFFFF) return false;
  appendUtf8(out, code);
  return true;
}

// The entity starting at html[at] ('&'); an unknown one stays as written.
size_t decodeEntity(std::string_view html, size_t at, std::string& out) {
  size_t end = html.find(';', at);
  if (end == std::string_view::npos || end - at > 8) {
    out += '&';
    return at + 1;
  }
  std::string_view name = html.substr(at + 1, end - at - 1);
  if (name == "amp") out += '&';
  else if (name == "lt") out += '<';
  else if (name == "gt") out += '>';
  else if (name == "quot") out += '"';
  else if (name == "nbsp") out += ' ';
  else if (!numericEntity(name, out)) out.append(html.substr(at, end - at + 1));
  return end + 1;
}

void startBlock(Builder& b, BlockKind kind) {
  if (b.blocks.empty() || !b.blocks.back().words.empty()) b.blocks.push_back({kind, ""});
  else b.blocks.back().kind = kind;
}

void addText(Builder& b, std::string_view text) {
  if (b.inHead) return;
  if (b.blocks.empty()) b.blocks.push_back({});
  std::string& words = b.blocks.back().words;
  for (char c : text) {
    bool blank = std::isspace(static_cast<unsigned char>(c));
    if (blank && (words.empty() || words.back() == ' ')) continue;
    words += blank ? ' ' : c;
  }
}

void handleTag(Builder& b, std::string_view tag) {
  bool closing = !tag.empty() && tag[0] == '/';
  std::string name;
  for (char c : tag.substr(closing ? 1 : 0)) {
    if (!std::isalnum(static_cast<unsigned char>(c))) break;
    name += char(std::tolower(static_cast<unsigned char>(c)));
  }
  if (name == "head") b.inHead = !closing;
  bool heading = name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
  if (closing) {
    if (heading || name == "p" || name == "dt" || name == "dd" || name == "li") startBlock(b, BlockKind::text);
    return;
  }
  if (heading) startBlock(b, BlockKind::heading);
  else if (name == "dd") startBlock(b, BlockKind::definition);
  else if (name == "p" || name == "dt" || name == "li" || name == "br") startBlock(b, BlockKind::text);
}

void wrap(const std::string& words, const std::string& indent, size_t width, std::vector<std::string>& out) {
  std::string line = indent;
  size_t at = 0;
  while (at < words.size()) {
    size_t space = words.find(' ', at);
    std::string word = words.substr(at, space == std::string::npos ? std::string::npos : space - at);
    at = space == std::string::npos ? words.size() : space + 1;
    if (word.empty()) continue;
    if (characters(line) > indent.size() && characters(line) + 1 + characters(word) > width) {
      out.push_back(line);
      line = indent;
    }
    if (characters(line) > indent.size()) line += ' ';
    line += word;
  }
  if (characters(line) > indent.size()) out.push_back(line);
}

}  // namespace

HtmlText htmlToText(std::string_view html, int width) {
  Builder b;
  for (size_t at = 0; at < html.size();) {
    if (html[at] == '<') {
      size_t end = html.find('>', at);
      if (end == std::string_view::npos) break;
      handleTag(b, html.substr(at + 1, end - at - 1));
      at = end + 1;
    } else if (html[at] == '&') {
      std::string decoded;
      at = decodeEntity(html, at, decoded);
      addText(b, decoded);
    } else {
      size_t end = html.find_first_of("<&", at);
      if (end == std::string_view::npos) end = html.size();
      addText(b, html.substr(at, end - at));
      at = end;
    }
  }
  HtmlText text;
  for (const Block& block : b.blocks) {
    if (block.words.empty() || block.words == " ") continue;
    if (block.kind == BlockKind::heading) {
      if (!text.lines.empty()) text.lines.emplace_back();
      text.headings.push_back(int(text.lines.size()));
    }
    wrap(block.words, block.kind == BlockKind::definition ? "  " : "", size_t(width), text.lines);
  }
  return text;
}

}  // namespace varlo
