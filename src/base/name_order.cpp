// Natural name order: digit runs compared as numbers, other bytes compared
// with ASCII letters folded.
#include "base/name_order.h"

#include <algorithm>

namespace varlo {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char folded(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// The digit run starting at i, without its leading zeros; i moves past it.
std::string_view digitRun(std::string_view s, size_t& i) {
  size_t start = i;
  while (i < s.size() && isDigit(s[i])) ++i;
  std::string_view run = s.substr(start, i - start);
  size_t zeros = run.find_first_not_of('0');
  return zeros == std::string_view::npos ? std::string_view() : run.substr(zeros);
}

// <0, 0 or >0 as a sorts before, with or after b.
int compareNames(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (isDigit(a[i]) && isDigit(b[j])) {
      std::string_view x = digitRun(a, i), y = digitRun(b, j);
      if (x.size() != y.size()) return x.size() < y.size() ? -1 : 1;
      if (int c = x.compare(y)) return c;
      continue;
    }
    unsigned char x = static_cast<unsigned char>(folded(a[i])), y = static_cast<unsigned char>(folded(b[j]));
    if (x != y) return x < y ? -1 : 1;
    ++i;
    ++j;
  }
  if (i < a.size() || j < b.size()) return i < a.size() ? 1 : -1;
  return a.compare(b);   // names equal but for case or leading zeros keep a fixed order
}

}  // namespace

bool nameComesBefore(std::string_view a, std::string_view b) { return compareNames(a, b) < 0; }

void sortNames(std::vector<std::string>& names) {
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return nameComesBefore(a, b); });
}

}  // namespace varlo
