// HTTP text for downloads: URLs, redirects and response heads.
#include "script/http_head.h"

#include <cstdlib>

#include "base/plain_text.h"

namespace varlo {

namespace {

bool parsePort(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    port = port * 10 + (c - '0');
  }
  return port > 0 && port <= 65535;
}

// A Content-Length that is no plain decimal count is treated as absent.
int64_t contentLength(std::string_view text) {
  if (text.empty() || text.size() > 18) return -1;
  int64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

void takeHeader(std::string_view line, Response& r) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  std::string name = upperAscii(trimBlanks(line.substr(0, colon)));
  std::string value(trimBlanks(line.substr(colon + 1)));
  if (name == "CONTENT-TYPE") r.type = value;
  if (name == "CONTENT-LENGTH") r.length = contentLength(value);
  if (name == "LOCATION") r.location = value;
}

}  // namespace

// scheme://host[:port][/path]; a URL without a scheme is taken as HTTP.
bool parseUrl(std::string_view text, Url& url) {
  url = Url{};
  size_t mark = text.find("://");
  if (mark != std::string_view::npos) {
    std::string scheme = upperAscii(text.substr(0, mark));
    if (scheme != "HTTP" && scheme != "HTTPS") return false;
    url.secure = scheme == "HTTPS";
    url.port = url.secure ? 443 : 80;
    text.remove_prefix(mark + 3);
  }
  size_t slash = text.find('/');
  std::string_view authority = text.substr(0, slash);
  if (slash != std::string_view::npos) url.path = std::string(text.substr(slash));
  if (!authority.empty() && authority[0] == '[') {
    size_t close = authority.find(']');
    if (close == std::string_view::npos) return false;
    url.host = std::string(authority.substr(1, close - 1));
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') return false;
      if (!parsePort(authority.substr(close + 2), url.port)) return false;
    }
  } else {
    size_t colon = authority.find(':');
    url.host = std::string(authority.substr(0, colon));
    if (colon != std::string_view::npos && !parsePort(authority.substr(colon + 1), url.port)) return false;
  }
  for (char c : url.host + url.path) {
    if (uint8_t(c) <= ' ') return false;   // no request can carry it
  }
  return !url.host.empty();
}

// A LOCATION value: absolute, from the server's root, or beside the path.
bool redirectTarget(const Url& from, std::string_view location, Url& to) {
  if (location.find("://") != std::string_view::npos) return parseUrl(location, to);
  to = from;
  if (location.empty()) return false;
  if (location[0] == '/') {
    to.path = std::string(location);
  } else {
    to.path = from.path.substr(0, from.path.rfind('/') + 1) + std::string(location);
  }
  return true;
}

size_t headLength(std::string_view received) {
  size_t crlf = received.find("\r\n\r\n");
  size_t lf = received.find("\n\n");
  if (crlf != std::string_view::npos && (lf == std::string_view::npos || crlf < lf)) return crlf + 4;
  return lf == std::string_view::npos ? 0 : lf + 2;
}

bool parseResponseHead(std::string_view head, Response& r) {
  r = Response{};
  size_t lineStart = 0;
  for (size_t at; (at = head.find('\n', lineStart)) != std::string_view::npos; lineStart = at + 1) {
    std::string_view line = head.substr(lineStart, at - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (lineStart > 0) {
      takeHeader(line, r);
      continue;
    }
    r.statusLine = std::string(line);
    size_t blank = line.find(' ');
    if (line.substr(0, 5) != "HTTP/" || blank == std::string_view::npos) return false;
    std::string_view code = line.substr(blank + 1, 3);
    if (code.size() != 3) return false;
    for (char c : code) {
      if (c < '0' || c > '9') return false;
    }
    r.status = std::atoi(std::string(code).c_str());
  }
  return r.status >= 100 && r.status <= 599;
}

bool isRedirect(int status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

}  // namespace varlo
