// libFuzzer target: the terminal key decoder. The input arrives in two reads
// (the first byte says where it is cut) and then the terminal goes idle: by
// then every byte must have been used, as a key or swallowed.
#include <cstdint>
#include <string>
#include <vector>

#include "frontends/terminal_keys.h"
#include "fuzz_files.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using varlo::fuzz::require;
  if (size < 1) return 0;
  std::string_view bytes = varlo::fuzz::asText(data + 1, size - 1);
  size_t cut = bytes.size() * data[0] / 256;
  std::vector<varlo::TerminalKey> keys;
  std::string pending(bytes.substr(0, cut));
  size_t used = varlo::decodeTerminalInput(pending, false, keys);
  require(used <= pending.size(), "no more bytes used than given");
  pending.erase(0, used);
  pending += bytes.substr(cut);
  used = varlo::decodeTerminalInput(pending, false, keys);
  require(used <= pending.size(), "no more bytes used than given");
  pending.erase(0, used);
  used = varlo::decodeTerminalInput(pending, true, keys);
  require(used == pending.size(), "an idle terminal leaves no bytes waiting");
  return 0;
}
