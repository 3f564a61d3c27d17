// BAIXA [MUDO] url file: an HTTP/1.0 GET (HTTPS verified through OpenSSL)
// written to the file. Redirects are followed (never from HTTPS down to
// HTTP), and the body goes to a scratch name that takes the file's name only
// when everything announced has arrived, so a cut download never passes for
// a whole one.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>

#include "base/codepage.h"
#include "platform/net_socket.h"
#include "platform/scratch_files.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_network.h"
#include "script/cmd_operands.h"
#include "script/interp.h"
#include "script/lexer.h"
#include "script/output.h"

namespace varlo {

namespace {

constexpr int kMostRedirects = 5;
constexpr size_t kLongestHead = 64 * 1024;   // status line and headers

struct Url {
  bool secure = false;
  std::string host;   // without the brackets of an IPv6 address
  int port = 80;
  std::string path = "/";
};

struct Response {
  int status = 0;
  std::string statusLine;
  std::string type;
  int64_t length = -1;   // unknown
  std::string location;
};

struct Stream {
  int fd = -1;
  TlsSession* tls = nullptr;
  std::string pending;   // received beyond the head
};

std::string upperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  }
  return out;
}

std::string trimmed(std::string_view text) {
  size_t from = text.find_first_not_of(" \t");
  if (from == std::string_view::npos) return {};
  size_t to = text.find_last_not_of(" \t\r");
  return std::string(text.substr(from, to - from + 1));
}

bool parsePort(std::string_view text, int& port) {
  if (text.empty() || text.size() > 5) return false;
  port = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    port = port * 10 + (c - '0');
  }
  return port > 0 && port <= 65535;
}

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
  std::string_view portText;
  if (!authority.empty() && authority[0] == '[') {
    size_t close = authority.find(']');
    if (close == std::string_view::npos) return false;
    url.host = std::string(authority.substr(1, close - 1));
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') return false;
      portText = authority.substr(close + 2);
      if (!parsePort(portText, url.port)) return false;
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
bool redirectTarget(const Url& from, const std::string& location, Url& to) {
  if (location.find("://") != std::string::npos) return parseUrl(location, to);
  to = from;
  if (location.empty()) return false;
  if (location[0] == '/') {
    to.path = location;
  } else {
    to.path = from.path.substr(0, from.path.rfind('/') + 1) + location;
  }
  return true;
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

long receive(Stream& s, char* data, size_t size) {
  if (!(s.tls && tlsPending(s.tls)) && !waitReadable(s.fd, networkTimeout())) return -1;
  return s.tls ? tlsReceive(s.tls, data, size) : long(::read(s.fd, data, size));
}

void closeStream(Stream& s) {
  endTls(s.tls);
  if (s.fd >= 0) ::close(s.fd);
  s = Stream{};
}

bool sendRequest(Stream& s, const Url& url) {
  bool bracketed = url.host.find(':') != std::string::npos;
  std::string host = bracketed ? "[" + url.host + "]" : url.host;
  bool defaultPort = url.port == (url.secure ? 443 : 80);
  if (!defaultPort) host += ":" + std::to_string(url.port);
  std::string request = "GET " + url.path + " HTTP/1.0\r\nHost: " + host + "\r\nConnection: Close\r\n\r\n";
  if (s.tls) return tlsSend(s.tls, request.data(), request.size());
  return sendAll(s.fd, request.data(), request.size());
}

void takeHeader(std::string_view line, Response& r) {
  size_t colon = line.find(':');
  if (colon == std::string_view::npos) return;
  std::string name = upperAscii(trimmed(line.substr(0, colon)));
  std::string value = trimmed(line.substr(colon + 1));
  if (name == "CONTENT-TYPE") r.type = value;
  if (name == "CONTENT-LENGTH") r.length = contentLength(value);
  if (name == "LOCATION") r.location = value;
}

// Reads the status line and the headers, at most kLongestHead bytes.
bool readHead(Stream& s, Response& r, std::string& reason) {
  std::string head;
  size_t end;
  char chunk[kReceiveBufferSize];
  while ((end = head.find("\r\n\r\n")) == std::string::npos && head.find("\n\n") == std::string::npos) {
    if (head.size() > kLongestHead) {
      reason = "cabeçalhos grandes demais";
      return false;
    }
    long n = receive(s, chunk, sizeof chunk);
    if (n <= 0) {
      reason = "o servidor não respondeu";
      return false;
    }
    head.append(chunk, size_t(n));
  }
  size_t lf = head.find("\n\n");
  size_t bodyAt = end != std::string::npos && (lf == std::string::npos || end < lf) ? end + 4 : lf + 2;
  s.pending = head.substr(bodyAt);
  head.resize(bodyAt);
  size_t lineStart = 0;
  for (size_t at; (at = head.find('\n', lineStart)) != std::string::npos; lineStart = at + 1) {
    std::string_view line(head.data() + lineStart, at - lineStart);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (lineStart == 0) {
      r.statusLine = std::string(line);
      size_t blank = line.find(' ');
      if (line.substr(0, 5) != "HTTP/" || blank == std::string_view::npos) break;
      r.status = std::atoi(std::string(line.substr(blank + 1, 3)).c_str());
    } else {
      takeHeader(line, r);
    }
  }
  if (r.status < 100 || r.status > 599) {
    reason = "resposta que não é HTTP";
    return false;
  }
  return true;
}

bool isRedirect(int status) { return status == 301 || status == 302 || status == 303 || status == 307 || status == 308; }

// Connects, asks and reads the head, following redirects. On success the
// stream is open at the start of the body.
bool fetchHead(Url url, Stream& s, Response& r, std::string& reason) {
  for (int hop = 0;; ++hop) {
    r = Response{};
    s.fd = openConnection(utf8ToCp1252(url.host), url.port, url.secure, s.tls, reason);
    if (s.fd < 0) return false;
    if (!sendRequest(s, url)) {
      reason = "o servidor não recebeu o pedido";
      return false;
    }
    if (!readHead(s, r, reason)) return false;
    if (!isRedirect(r.status) || r.location.empty()) break;
    Url next;
    if (hop == kMostRedirects) {
      reason = "redirecionamentos demais";
      return false;
    }
    if (!redirectTarget(url, r.location, next)) {
      reason = "redirecionamento inválido: " + r.location;
      return false;
    }
    if (url.secure && !next.secure) {
      reason = "redirecionamento de HTTPS para HTTP recusado";
      return false;
    }
    closeStream(s);
    url = next;
  }
  if (r.status < 200 || r.status > 299) {
    reason = "o servidor respondeu: " + r.statusLine;
    return false;
  }
  return true;
}

bool writeAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

enum class BodyResult { complete, writeFailed };

// Copies the body into fd: all of it until the server closes, or exactly
// the announced length. got counts the bytes kept.
BodyResult copyBody(Stream& s, int64_t length, int fd, int64_t& got) {
  got = 0;
  auto keep = [&](const char* data, size_t size) {
    if (length >= 0) size = size_t(std::min<int64_t>(int64_t(size), length - got));
    got += int64_t(size);
    return writeAll(fd, data, size);
  };
  if (!keep(s.pending.data(), s.pending.size())) return BodyResult::writeFailed;
  char chunk[16 * 1024];
  while (length < 0 || got < length) {
    long n = receive(s, chunk, sizeof chunk);
    if (n <= 0) break;
    if (!keep(chunk, size_t(n))) return BodyResult::writeFailed;
  }
  return BodyResult::complete;
}

struct Download {
  bool quiet = false;
  std::string file;      // as the script named it
  std::string path;      // on disk
  std::string scratch;   // where the body goes until it is whole
};

bool failDownload(const Download& d, std::string_view message, std::string_view reason = {}) {
  if (!d.scratch.empty()) {
    ::unlink(d.scratch.c_str());
    releaseScratchFile(d.scratch);
  }
  return deviceFailure(d.quiet, message, reason);
}

std::string announcement(const Response& r) {
  std::string size = r.length >= 0 ? std::to_string(r.length) + " bytes" : "(tamanho desconhecido)";
  return "Baixando " + size + cp(", conteúdo = ") + utf8ToCp1252(r.type);
}

bool saveBody(Download& d, Stream& s, const Response& r) {
  d.scratch = d.path + ".baixando";
  int fd = ::open(d.scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) {
    d.scratch.clear();
    return failDownload(d, cp("Erro na criação do arquivo ") + d.file);
  }
  holdScratchFile(d.scratch);
  if (!d.quiet) printLine(announcement(r));
  int64_t got = 0;
  BodyResult result = copyBody(s, r.length, fd, got);
  bool closed = ::close(fd) == 0;
  if (result == BodyResult::writeFailed || !closed) return failDownload(d, "Erro de escrita no arquivo");
  if (r.length >= 0 && got < r.length) {
    return failDownload(d, "Tamanho previsto = " + std::to_string(r.length) + "; tamanho baixado = " +
                               std::to_string(got));
  }
  if (std::rename(d.scratch.c_str(), d.path.c_str()) != 0) {
    return failDownload(d, cp("Erro na criação do arquivo ") + d.file);
  }
  releaseScratchFile(d.scratch);
  setIoStatus(0);
  if (!d.quiet) printLine(cp("Conteúdo baixado e guardado em ") + d.file);
  return true;
}

}  // namespace

bool cmdDownload() {
  Download d;
  d.quiet = isWord("MUDO");
  if (d.quiet) scan();
  std::string address;
  if (!readString(address, false) || !readString(d.file, false) || address.empty() || d.file.empty()) {
    return failLine("Esperava duas cadeias: a URL e o arquivo");
  }
  d.path = scriptFilePath(d.file, false);
  Url url;
  std::string reason;
  Stream s;
  Response r;
  bool ok;
  if (!parseUrl(cp1252ToUtf8(address), url)) {
    ok = deviceFailure(d.quiet, cp("Não foi possível estabelecer conexão"), "endereço inválido: " + cp1252ToUtf8(address));
  } else if (!fetchHead(url, s, r, reason)) {
    ok = deviceFailure(d.quiet, cp("Não foi possível estabelecer conexão"), reason);
  } else {
    ok = saveBody(d, s, r);
  }
  closeStream(s);
  return ok;
}

}  // namespace varlo
