// libFuzzer target: the transfer encodings of CONVERTE. Any text decodes
// without harm; whatever is encoded decodes back to the same bytes, and
// quoted-printable lines stay within 76 characters.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text_codes.h"
#include "fuzz_files.h"

using varlo::fuzz::require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  varlo::percentDecode(bytes);
  varlo::base64Decode(bytes);
  varlo::quotedPrintableDecode(bytes);
  require(varlo::percentDecode(varlo::percentEncode(bytes)) == bytes, "percent round trip");
  require(varlo::base64Decode(varlo::base64Encode(bytes)) == std::string(bytes), "Base64 round trip");
  std::string qp = varlo::quotedPrintableEncode(bytes);
  require(varlo::quotedPrintableDecode(qp) == bytes, "quoted-printable round trip");
  for (size_t start = 0; start < qp.size();) {
    size_t end = qp.find('\n', start);
    if (end == std::string::npos) end = qp.size();
    require(end - start <= 77, "quoted-printable lines within 76 characters and a CR");
    start = end + 1;
  }
  return 0;
}
