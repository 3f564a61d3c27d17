// libFuzzer target: the script's key names and window-title patterns. A
// key sequence is empty or ends in a key after its modifiers; a pattern
// always matches the title it was made from.
#include <cstdint>
#include <string>

#include "fuzz_files.h"
#include "platform/desktop.h"
#include "script/desktop_windows.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using varlo::fuzz::require;
  std::string_view bytes = varlo::fuzz::asText(data, size);
  std::string sequence = varlo::keySequenceFor(bytes);
  require(sequence.empty() || sequence.back() != '+' || sequence.ends_with("plus"), "no dangling modifier");
  size_t cut = bytes.find('\0');
  std::string_view title = bytes.substr(0, cut);
  std::string_view pattern = cut == std::string_view::npos ? bytes : bytes.substr(cut + 1);
  varlo::titleMatches(title, pattern);
  std::string_view half = title.substr(0, title.size() / 2);
  require(varlo::titleMatches(title, half) || half.starts_with('*') || half.ends_with('*'),
          "a title contains its own first half");
  return 0;
}
