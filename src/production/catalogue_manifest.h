// The manifest of a catalogue: one plain text file, "manifesto.txt" in the
// destination folder, that says of every book where it came from, what it
// was made from and how far it got. Its lines, in UTF-8:
//
//   VARLO CATALOGO 1
//   origem <the source folder>
//   livro <the book's folder under the destination>
//     fonte <the text, relative to the source folder>
//     soma <checksum of the text: 16 hex digits>
//     ajustes <the settings that shape the audio, as one line>
//     estado esperando | convertendo | feito | falhou
//     motivo <why it failed>                      (only when it failed)
//     duracao <seconds of audio made>             (only when done)
//     arquivo <size in bytes> <file, relative to the book's folder>
//   ...one "livro" block per book...
//   fim <number of lines above> <checksum of the bytes above>
//
// The last line tells a whole manifest from one cut short or edited by hand.
// It is always written under a scratch name and renamed over the old one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace varlo {

enum class BookState { waiting, running, done, failed };

struct CatalogueFile {
  std::string name;   // relative to the book's folder
  uint64_t size = 0;
};

struct CatalogueBook {
  std::string folder;     // its folder under the destination
  std::string source;     // the text, relative to the source folder
  std::string checksum;   // of the text that was (or will be) converted
  std::string settings;
  BookState state = BookState::waiting;
  std::string reason;     // of a failure
  double seconds = 0;     // audio made
  std::vector<CatalogueFile> files;
};

struct Catalogue {
  std::string origin;
  std::vector<CatalogueBook> books;   // in the order of their folders
};

constexpr const char* kManifestName = "manifesto.txt";

const char* bookStateName(BookState state);

std::string manifestText(const Catalogue& catalogue);
// False when the text is not a whole manifest (cut, edited, not one at all).
bool parseManifest(std::string_view text, Catalogue& catalogue);

// The manifest of the destination folder: false when it is missing or not
// whole. Writing goes through a scratch file renamed over the manifest.
bool readManifest(const std::string& destination, Catalogue& catalogue);
bool writeManifest(const std::string& destination, const Catalogue& catalogue);
// The same on a file of any name (a book's own entry).
bool readManifestFile(const std::string& path, Catalogue& catalogue);
bool writeManifestFile(const std::string& path, const Catalogue& catalogue);

CatalogueBook* findBook(Catalogue& catalogue, std::string_view folder);

// 64-bit FNV-1a, as 16 hex digits, of some bytes and of a whole file
// (empty when it cannot be read).
std::string bytesChecksum(std::string_view bytes);
std::string fileChecksum(const std::string& path);

// The folder a book gets, from its path relative to the source folder: the
// extension dropped, every character that is not a letter, digit, "-" or
// "." (and a leading ".") made "_", so that it is safe in any shell or
// scheduler's script. Letters beyond ASCII are kept.
std::string bookFolderName(std::string_view relativePath);
// Two folder names that would be one on a disk that ignores case.
bool sameFolderName(std::string_view a, std::string_view b);

}  // namespace varlo
