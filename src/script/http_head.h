// The text of an HTTP/1.0 exchange as BAIXA sees it: URLs split into their
// parts, redirect targets, and the status line and headers of a response.
// Pure functions over bytes, so that any server's answer can be tried on
// them alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace varlo {

struct Url {
  bool secure = false;
  std::string host;   // without the brackets of an IPv6 address
  int port = 80;
  std::string path = "/";
};

struct Response {
  int status = 0;
  std::string statusLine;
  std::string type;        // CONTENT-TYPE
  int64_t length = -1;     // CONTENT-LENGTH; -1 when absent or no count
  std::string location;    // LOCATION
};

// scheme://host[:port][/path] with the scheme HTTP or HTTPS (in any case);
// without "://" the URL is taken as HTTP. False for another scheme, an
// empty host, a bad port, or blanks and control bytes in host or path.
bool parseUrl(std::string_view text, Url& url);
// Where a LOCATION value leads from url: an absolute URL, a path from the
// server's root, or a name beside the current path.
bool redirectTarget(const Url& from, std::string_view location, Url& to);
// The length of the head (status line and headers up to the empty line
// that ends them) at the start of received bytes; 0 while it is incomplete.
size_t headLength(std::string_view received);
// Reads the status and the recognised headers; false when the status line
// is no HTTP status.
bool parseResponseHead(std::string_view head, Response& r);
bool isRedirect(int status);

}  // namespace varlo
