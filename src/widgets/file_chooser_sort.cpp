// Ordering of directory entries: by a folded name key in which accents are
// dropped and a leading number sorts by its value, by extension, by size or
// by time stamp.
#include <algorithm>
#include <array>

#include "widgets/file_chooser.h"
#include "speech/speech.h"

namespace varlo {

namespace {

constexpr uint8_t kOther = 254;   // symbols sort after every letter
constexpr size_t kNumberDigits = 15;

// Bytes 128-255 of Windows-1252: letters become their unaccented capitals,
// Æ and æ sort together just before the symbols.
constexpr std::array<uint8_t, 128> makeFoldTable() {
  std::array<uint8_t, 128> t{};
  for (auto& b : t) b = kOther;
  auto set = [&t](int byte, char to) { t[byte - 128] = static_cast<uint8_t>(to); };
  set(0x8A, 'S'); set(0x9A, 'S');   // Š š
  set(0x8C, 'O'); set(0x9C, 'O');   // Œ œ
  set(0x8E, 'Z'); set(0x9E, 'Z');   // Ž ž
  set(0x9F, 'Y');                   // Ÿ
  set(0xAA, 'A'); set(0xBA, 'O');   // ª º
  for (int b : {0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5}) { set(b, 'A'); set(b + 32, 'A'); }
  t[0xC6 - 128] = t[0xE6 - 128] = 145;   // Æ æ
  set(0xC7, 'C'); set(0xE7, 'C');
  for (int b : {0xC8, 0xC9, 0xCA, 0xCB}) { set(b, 'E'); set(b + 32, 'E'); }
  for (int b : {0xCC, 0xCD, 0xCE, 0xCF}) { set(b, 'I'); set(b + 32, 'I'); }
  set(0xD1, 'N'); set(0xF1, 'N');
  for (int b : {0xD2, 0xD3, 0xD4, 0xD5, 0xD6}) { set(b, 'O'); set(b + 32, 'O'); }
  set(0xD7, 'X'); set(0xF7, 'X');   // × ÷
  for (int b : {0xD9, 0xDA, 0xDB, 0xDC}) { set(b, 'U'); set(b + 32, 'U'); }
  set(0xDD, 'Y'); set(0xFD, 'Y');
  return t;
}
constexpr std::array<uint8_t, 128> kFold = makeFoldTable();

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string extensionOf(std::string_view name) {
  size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string() : upperText(name.substr(dot + 1));
}

struct Keyed {
  std::string key;
  std::string extension;
  size_t index;
};

bool before(const TMySearchRec& a, const Keyed& ka, const TMySearchRec& b,
            const Keyed& kb, SortKind kind) {
  switch (kind) {
    case SortKind::byExtension:
      if (ka.extension != kb.extension) return ka.extension < kb.extension;
      break;
    case SortKind::bySize:
      if (a.size != b.size) return a.size < b.size;
      break;
    case SortKind::byTime:
      if (a.time != b.time) return a.time < b.time;
      break;
    case SortKind::byName:
      break;
  }
  return ka.key < kb.key;
}

}  // namespace

uint8_t foldByte(uint8_t byte) {
  if (byte >= 'a' && byte <= 'z') return byte - 32;
  return byte >= 128 ? kFold[byte - 128] : byte;
}

std::string sortKey(std::string_view name) {
  std::string key;
  key.reserve(name.size() + kNumberDigits);
  for (char c : name) key += static_cast<char>(foldByte(static_cast<uint8_t>(c)));
  size_t digits = 0;
  while (digits < key.size() && isDigit(key[digits])) ++digits;
  if (digits > 0 && digits < kNumberDigits) key.insert(0, kNumberDigits - digits, '0');
  return key;
}

void sortEntries(std::vector<TMySearchRec>& entries, SortKind kind) {
  std::vector<Keyed> keys;
  keys.reserve(entries.size());
  for (size_t i = 0; i < entries.size(); ++i)
    keys.push_back({sortKey(entries[i].name), extensionOf(entries[i].name), i});
  std::stable_sort(keys.begin(), keys.end(), [&](const Keyed& a, const Keyed& b) {
    return before(entries[a.index], a, entries[b.index], b, kind);
  });
  std::vector<TMySearchRec> sorted;
  sorted.reserve(entries.size());
  for (const Keyed& k : keys) sorted.push_back(std::move(entries[k.index]));
  entries = std::move(sorted);
}

}  // namespace varlo
