// libFuzzer target: what a web server sends back to BAIXA. The bytes are
// taken as a response head and, from their first line, as a URL and as a
// redirect from a fixed page; nothing may crash or read out of bounds, and
// a parsed URL must be one a request can carry.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "script/http_head.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace varlo;
  std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t head = headLength(text);
  Response r;
  if (parseResponseHead(text.substr(0, head ? head : text.size()), r) && (r.status < 100 || r.status > 599)) {
    std::abort();
  }
  std::string_view first = text.substr(0, text.find('\n'));
  Url url;
  if (parseUrl(first, url) && (url.host.empty() || url.port <= 0 || url.port > 65535)) std::abort();
  Url from{true, "exemplo.com.br", 443, "/livros/a.txt"};
  redirectTarget(from, first, url);
  return 0;
}
