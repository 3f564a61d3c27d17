// Writing and reading a catalogue's manifest, and the names and checksums
// that go into it.
#include "production/catalogue_manifest.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "base/regular_file.h"

namespace varlo {

namespace {

constexpr const char* kHeading = "VARLO CATALOGO 1";
constexpr BookState kStates[] = {BookState::waiting, BookState::running, BookState::done,
                                 BookState::failed};

struct Fnv {
  uint64_t hash = 14695981039346656037ull;
  void add(std::string_view bytes) {
    for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  }
  std::string hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
  }
};

// A value on one line: line ends and tabs inside it would split the record.
std::string oneLine(std::string_view value) {
  std::string line(value);
  for (char& c : line)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
  return line;
}

// "key value" after the indentation; false for a line without a key.
bool splitLine(std::string_view line, std::string_view& key, std::string_view& value) {
  size_t start = line.find_first_not_of(' ');
  if (start == std::string_view::npos) return false;
  line.remove_prefix(start);
  size_t space = line.find(' ');
  key = line.substr(0, space);
  value = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
  return true;
}

bool readNumber(std::string_view text, uint64_t& number) {
  if (text.empty() || text.size() > 19) return false;
  number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + uint64_t(c - '0');
  }
  return true;
}

bool readState(std::string_view name, BookState& state) {
  for (BookState s : kStates)
    if (name == bookStateName(s)) {
      state = s;
      return true;
    }
  return false;
}

// One line of a book's block; false when it is not one.
bool readBookLine(std::string_view key, std::string_view value, CatalogueBook& book) {
  if (key == "fonte") {
    book.source = value;
  } else if (key == "soma") {
    book.checksum = value;
  } else if (key == "ajustes") {
    book.settings = value;
  } else if (key == "estado") {
    return readState(value, book.state);
  } else if (key == "motivo") {
    book.reason = value;
  } else if (key == "duracao") {
    char* end = nullptr;
    std::string text(value);
    book.seconds = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0';
  } else if (key == "arquivo") {
    size_t space = value.find(' ');
    CatalogueFile file;
    if (space == std::string_view::npos || !readNumber(value.substr(0, space), file.size))
      return false;
    file.name = value.substr(space + 1);
    book.files.push_back(file);
  } else {
    return false;
  }
  return true;
}

}  // namespace

const char* bookStateName(BookState state) {
  switch (state) {
    case BookState::waiting: return "esperando";
    case BookState::running: return "convertendo";
    case BookState::done: return "feito";
    case BookState::failed: return "falhou";
  }
  return "esperando";
}

std::string manifestText(const Catalogue& catalogue) {
  std::string text = std::string(kHeading) + "\norigem " + oneLine(catalogue.origin) + "\n";
  for (const CatalogueBook& b : catalogue.books) {
    text += "livro " + oneLine(b.folder) + "\n  fonte " + oneLine(b.source) + "\n  soma " +
            oneLine(b.checksum) + "\n  ajustes " + oneLine(b.settings) + "\n  estado " +
            bookStateName(b.state) + "\n";
    if (b.state == BookState::failed) text += "  motivo " + oneLine(b.reason) + "\n";
    if (b.state == BookState::done) {
      char seconds[32];
      std::snprintf(seconds, sizeof seconds, "%.1f", b.seconds);
      text += std::string("  duracao ") + seconds + "\n";
      for (const CatalogueFile& f : b.files)
        text += "  arquivo " + std::to_string(f.size) + " " + oneLine(f.name) + "\n";
    }
  }
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return text + "fim " + std::to_string(lines) + " " + bytesChecksum(text) + "\n";
}

bool parseManifest(std::string_view text, Catalogue& catalogue) {
  catalogue = Catalogue();
  // The closing line first: it vouches for everything above it.
  if (text.empty() || text.back() != '\n') return false;
  size_t last = text.rfind('\n', text.size() - 2);
  if (last == std::string_view::npos) return false;
  std::string_view body = text.substr(0, last + 1);
  std::string_view closing = text.substr(last + 1, text.size() - last - 2);
  size_t lines = 0;
  for (char c : body) lines += c == '\n';
  if (closing != "fim " + std::to_string(lines) + " " + bytesChecksum(body)) return false;
  bool first = true;
  while (!body.empty()) {
    size_t end = body.find('\n');
    std::string_view line = body.substr(0, end);
    body.remove_prefix(end + 1);
    std::string_view key, value;
    if (first) {
      if (line != kHeading) return false;
      first = false;
    } else if (!splitLine(line, key, value)) {
      return false;
    } else if (key == "origem") {
      catalogue.origin = value;
    } else if (key == "livro") {
      catalogue.books.emplace_back();
      catalogue.books.back().folder = value;
    } else if (catalogue.books.empty() || !readBookLine(key, value, catalogue.books.back())) {
      return false;
    }
  }
  return !first;
}

bool readManifest(const std::string& destination, Catalogue& catalogue) {
  return readManifestFile(destination + "/" + kManifestName, catalogue);
}

bool writeManifest(const std::string& destination, const Catalogue& catalogue) {
  return writeManifestFile(destination + "/" + kManifestName, catalogue);
}

bool readManifestFile(const std::string& path, Catalogue& catalogue) {
  std::FILE* file = openRegularFile(path, "rb");
  if (!file) return false;
  std::string text;
  char block[65536];
  for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) text.append(block, got);
  bool whole = !std::ferror(file);
  std::fclose(file);
  return whole && parseManifest(text, catalogue);
}

bool writeManifestFile(const std::string& path, const Catalogue& catalogue) {
  std::string scratch = path + ".novo";
  std::FILE* file = createScratchFile(scratch, "wb");
  if (!file) return false;
  std::string text = manifestText(catalogue);
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size() &&
            std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  ok = std::fclose(file) == 0 && ok;
  ok = ok && std::rename(scratch.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(scratch.c_str());
  return ok;
}

CatalogueBook* findBook(Catalogue& catalogue, std::string_view folder) {
  for (CatalogueBook& b : catalogue.books)
    if (b.folder == folder) return &b;
  return nullptr;
}

std::string bytesChecksum(std::string_view bytes) {
  Fnv fnv;
  fnv.add(bytes);
  return fnv.hex();
}

std::string fileChecksum(const std::string& path) {
  std::FILE* file = openRegularFile(path, "rb");
  if (!file) return "";
  Fnv fnv;
  char block[65536];
  for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;)
    fnv.add(std::string_view(block, got));
  bool whole = !std::ferror(file);
  std::fclose(file);
  return whole ? fnv.hex() : "";
}

std::string bookFolderName(std::string_view relativePath) {
  std::string_view name = relativePath;
  size_t slash = name.rfind('/');
  size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash + 1))
    name = name.substr(0, dot);
  std::string folder(name);
  for (size_t i = 0; i < folder.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(folder[i]);
    bool kept = c >= 0x80 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                (c >= '0' && c <= '9') || c == '-' || (c == '.' && i > 0);
    if (!kept) folder[i] = '_';
  }
  return folder.empty() ? "_" : folder;
}

bool sameFolderName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

}  // namespace varlo
