// BAIXA [MUDO] url file: an HTTP/1.0 GET (HTTPS verified through OpenSSL)
// written to the file. Redirects are followed (never from HTTPS down to
// HTTP), and the body goes to a scratch name that takes the file's name only
// when everything announced has arrived, so a cut download never passes for
// a whole one. Besides the wait for each read (TIMEOUT_REDE), the head must
// arrive whole within that time, and the body must keep a least rate over
// every stretch of that length: a server dripping bytes cannot hold the
// script for as long as it likes.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "base/codepage.h"
#include "base/regular_file.h"
#include "platform/net_socket.h"
#include "platform/scratch_files.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_network.h"
#include "script/cmd_operands.h"
#include "script/http_head.h"
#include "script/interp.h"
#include "script/lexer.h"
#include "script/output.h"

namespace varlo {

namespace {

constexpr int kMostRedirects = 5;
constexpr size_t kLongestHead = 64 * 1024;   // status line and headers
// Below this rate, kept over a whole TIMEOUT_REDE, the server is not sending
// a file but holding the download open.
constexpr int64_t kLeastBytesPerSecond = 512;

using Clock = std::chrono::steady_clock;

struct Stream {
  int fd = -1;
  TlsSession* tls = nullptr;
  std::string pending;   // received beyond the head
};

// Waits at most TIMEOUT_REDE, and never past the deadline; -1 when nothing came.
long receive(Stream& s, char* data, size_t size, Clock::time_point deadline = Clock::time_point::max()) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  int wait = int(std::clamp<int64_t>(left, 0, networkTimeout()));
  if (!(s.tls && tlsPending(s.tls)) && !waitForInput(s.fd, wait)) return -1;
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

// Reads the status line and the headers, at most kLongestHead bytes, all
// within TIMEOUT_REDE.
bool readHead(Stream& s, Response& r, std::string& reason) {
  std::string head;
  size_t bodyAt;
  char chunk[kReceiveBufferSize];
  Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(networkTimeout());
  while ((bodyAt = headLength(head)) == 0) {
    if (head.size() > kLongestHead) {
      reason = "cabeçalhos grandes demais";
      return false;
    }
    long n = receive(s, chunk, sizeof chunk, deadline);
    if (n <= 0) {
      reason = head.empty() ? "o servidor não respondeu" : "o servidor demorou demais para responder";
      return false;
    }
    head.append(chunk, size_t(n));
  }
  s.pending = head.substr(bodyAt);
  head.resize(bodyAt);
  if (!parseResponseHead(head, r)) {
    reason = "resposta que não é HTTP";
    return false;
  }
  return true;
}

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

enum class BodyResult { complete, stalled, tooSlow, writeFailed };

// Copies the body into the file: all of it until the server closes, or
// exactly the announced length. A server that stops sending without
// closing has not sent everything, even when it announced no length; nor
// has one that sends under kLeastBytesPerSecond over a whole TIMEOUT_REDE.
// got counts the bytes kept.
BodyResult copyBody(Stream& s, int64_t length, std::FILE* file, int64_t& got) {
  got = 0;
  auto keep = [&](const char* data, size_t size) {
    if (length >= 0) size = size_t(std::min<int64_t>(int64_t(size), length - got));
    got += int64_t(size);
    return std::fwrite(data, 1, size, file) == size;
  };
  if (!keep(s.pending.data(), s.pending.size())) return BodyResult::writeFailed;
  char chunk[16 * 1024];
  const auto window = std::chrono::milliseconds(networkTimeout());
  const int64_t leastInWindow = kLeastBytesPerSecond * window.count() / 1000;
  Clock::time_point windowStart = Clock::now();
  int64_t inWindow = 0;
  while (length < 0 || got < length) {
    long n = receive(s, chunk, sizeof chunk);
    if (n < 0) return BodyResult::stalled;
    if (n == 0) break;
    if (!keep(chunk, size_t(n))) return BodyResult::writeFailed;
    inWindow += n;
    if (Clock::now() - windowStart < window) continue;
    if (inWindow < leastInWindow) return BodyResult::tooSlow;
    windowStart = Clock::now();
    inWindow = 0;
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
  std::FILE* file = createScratchFile(d.scratch, "wb");
  if (!file) {
    d.scratch.clear();
    return failDownload(d, cp("Erro na criação do arquivo ") + d.file);
  }
  holdScratchFile(d.scratch);
  if (!d.quiet) printLine(announcement(r));
  int64_t got = 0;
  BodyResult result = copyBody(s, r.length, file, got);
  bool closed = std::fclose(file) == 0;
  if (result == BodyResult::writeFailed || !closed) return failDownload(d, "Erro de escrita no arquivo");
  if (result == BodyResult::tooSlow) {
    return failDownload(d, cp("Não foi possível estabelecer conexão"), "o servidor envia devagar demais");
  }
  if (result == BodyResult::stalled && r.length < 0) {
    return failDownload(d, cp("Não foi possível estabelecer conexão"), "o servidor parou de enviar antes do fim");
  }
  if (r.length >= 0 && got < r.length) {
    return failDownload(d, "Tamanho previsto = " + std::to_string(r.length) + "; tamanho baixado = " +
                               std::to_string(got));
  }
  // A device or a FIFO at the target is never replaced by the download.
  if (!replaceableByFile(d.path) || std::rename(d.scratch.c_str(), d.path.c_str()) != 0) {
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
