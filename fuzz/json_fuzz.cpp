// libFuzzer target: JSON reading, from a whole text and from a byte source
// that stops when the outermost bracket closes (as connections are read).
// Whatever the text, every value made must be freed again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "console/console.h"
#include "fuzz_files.h"
#include "quiet_interpreter.h"
#include "script/cmd_json.h"
#include "script/host.h"
#include "script/output.h"
#include "script/value.h"

namespace {

void readAndFree(varlo::Operand value) { varlo::releaseValue(value); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  varlo::fuzz::startQuietInterpreter();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varlo;
  std::string_view text = fuzz::asText(data, size);
  resetInterpreter();
  readAndFree(jsonFromText(text));
  size_t at = 0;
  readAndFree(readJson([&] { return at < text.size() ? int(uint8_t(text[at++])) : -1; }, true));
  resetInterpreter();
  ObjectCounters c = objectCounters();
  fuzz::require(c.objects == 0 && c.dictNodes == 0 && c.listCells == 0,
                "every JSON value is freed");
  return 0;
}
