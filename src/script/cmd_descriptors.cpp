// The file descriptors of scripts: text files, network connections and
// serial ports behind the numbers #0 ... #15.
#include "script/cmd_descriptors.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>

#include "base/config.h"
#include "base/codepage.h"
#include "base/plain_text.h"
#include "base/regular_file.h"
#include "console/console.h"
#include "platform/net_socket.h"
#include "script/commands.h"
#include "script/expr.h"
#include "script/host.h"
#include "script/interp.h"

namespace varlo {

namespace {

namespace fs = std::filesystem;

std::array<Descriptor, kDescriptorCount> descriptors;

// Sockets are written without raising SIGPIPE when the peer has gone (a
// failed write, not the end of the program); serial ports with write.
bool writeAll(const Descriptor& d, std::string_view bytes) {
  if (d.tls) return tlsSend(d.tls, bytes.data(), bytes.size());
  if (d.kind == dkNetwork) return sendAll(d.fd, bytes.data(), bytes.size());
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(d.fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return true;
}

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? int(left) : 0;
}

// Adds what arrives on a connection or serial port to its receive buffer,
// waiting until the deadline; false at the end of the stream, on an error
// or when nothing came in time.
bool receiveMore(Descriptor& d, Clock::time_point deadline) {
  if (d.listening) return false;
  if (!(d.tls && tlsPending(d.tls)) && !waitForInput(d.fd, millisecondsLeft(deadline))) return false;
  char chunk[kReceiveBufferSize];
  long n = d.tls ? tlsReceive(d.tls, chunk, sizeof chunk) : long(::read(d.fd, chunk, sizeof chunk));
  if (n <= 0) return false;
  d.received.append(chunk, size_t(n));
  return true;
}

Clock::time_point networkDeadline() { return Clock::now() + std::chrono::milliseconds(networkTimeout()); }

// A file whose first 64 KiB hold bytes above 127 that are no UTF-8.
bool writtenInWindows1252(const std::string& path) {
  std::FILE* f = openRegularFile(path, "rb");
  if (!f) return false;
  std::string head(64 * 1024, '\0');
  head.resize(std::fread(head.data(), 1, head.size(), f));
  std::fclose(f);
  // A multi-byte character cut at the end of the sample is no evidence.
  while (!head.empty() && (uint8_t(head.back()) & 0xC0) == 0x80) head.pop_back();
  if (!head.empty() && uint8_t(head.back()) >= 0xC0) head.pop_back();
  bool high = std::any_of(head.begin(), head.end(), [](char c) { return uint8_t(c) > 127; });
  return high && !looksLikeUtf8(head);
}

bool readFileLine(Descriptor& d, std::string& line) {
  line.clear();
  int c = std::getc(d.file);
  if (c == EOF) return false;
  size_t limit = valueLimits().maxStringBytes;
  while (c != EOF && c != '\n') {
    if (line.size() >= limit) {
      reportError(cp("Memória insuficiente"));
      return false;
    }
    line += char(c);
    c = std::getc(d.file);
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
  if (looksLikeUtf8(line)) line = utf8ToCp1252(line);
  return true;
}

// The whole line must arrive within the time-out, so a peer that trickles
// bytes cannot hold the script; a line longer than the limit is handed over
// in pieces.
bool readConnectionLine(Descriptor& d, std::string& line) {
  auto deadline = networkDeadline();
  size_t end;
  while ((end = d.received.find('\n')) == std::string::npos) {
    if (d.received.size() >= kLongestReceivedLine) {
      end = kLongestReceivedLine;
      break;
    }
    if (!receiveMore(d, deadline)) {
      if (d.received.empty()) return false;
      end = d.received.size();
      break;
    }
  }
  end = std::min(end, kLongestReceivedLine);
  bool cut = d.received.size() > end && d.received[end] == '\n';
  line = d.received.substr(0, end);
  d.received.erase(0, cut ? end + 1 : end);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

}  // namespace

Descriptor& descriptorSlot(int n) { return descriptors[size_t(n)]; }

int parseDescriptor() {
  if (theToken.kind != tkHash) {
    skipToEnd();
    reportError("Esperava um descritor de arquivo");
    return -1;
  }
  scan();
  Operand v = evaluateAs(Tag::integer);
  int n = v.tag == Tag::integer ? v.first : -1;
  releaseValue(v);
  if (n < 0 || n >= kDescriptorCount) {
    skipToEnd();
    reportError(cp("Descritor de arquivo inválido"));
    return -1;
  }
  return n;
}

std::string scriptFilePath(std::string_view name, bool existing) {
  std::string path = cp1252ToUtf8(name);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  std::error_code ec;
  if (!existing || path.empty() || fs::exists(path, ec)) return path;
  std::string found = entryIgnoringCase(path, false);
  return found.empty() ? path : found;
}

bool openTextDescriptor(int n, std::string_view name, char mode) {
  Descriptor& d = descriptors[size_t(n)];
  if (d.open || name.empty()) return false;
  const char* how = mode == 'E' ? "wb" : mode == 'A' ? "ab" : "rb";
  std::error_code ec;
  std::string path = scriptFilePath(name, mode != 'E');
  if (mode == 'L' && fs::is_directory(path, ec)) return false;
  bool windows1252 = mode == 'A' && writtenInWindows1252(path);
  std::FILE* f = openRegularFile(path, how);
  if (!f) return false;
  d = Descriptor{};
  d.open = true;
  d.kind = dkTextFile;
  d.file = f;
  d.writing = mode != 'L';
  d.windows1252 = windows1252;
  return true;
}

bool attachDescriptor(int n, uint8_t kind, int fd, TlsSession* tls) {
  if (n < 0 || n >= kDescriptorCount || descriptors[size_t(n)].open) return false;
  Descriptor& d = descriptors[size_t(n)];
  d = Descriptor{};
  d.open = true;
  d.kind = kind;
  d.fd = fd;
  d.tls = tls;
  d.listening = kind == dkNetwork && isListeningSocket(fd);
  return true;
}

bool closeDescriptor(int n) {
  Descriptor& d = descriptors[size_t(n)];
  if (!d.open) return false;
  bool ok = true;
  // A write that failed earlier (a full disk) left the file short: closing
  // it must not make it look complete.
  if (d.file) ok = !(d.writing && std::ferror(d.file)) && std::fclose(d.file) == 0;
  endTls(d.tls);
  if (d.fd >= 0) ok = ::close(d.fd) == 0 && ok;
  d = Descriptor{};
  return ok;
}

void closeAllDescriptors() {
  for (int n = 0; n < kDescriptorCount; ++n) closeDescriptor(n);
}

bool writeToDescriptor(int n, std::string_view text, bool lineBreak) {
  Descriptor& d = descriptors[size_t(n)];
  if (!d.open) return false;
  if (d.kind == dkTextFile) {
    if (!d.writing) return false;
    std::string bytes = d.windows1252 ? std::string(text) : cp1252ToUtf8(text);
    if (lineBreak) bytes += '\n';
    return std::fwrite(bytes.data(), 1, bytes.size(), d.file) == bytes.size() && std::fflush(d.file) == 0;
  }
  if (d.listening) return false;
  std::string bytes(text);
  if (lineBreak) bytes += "\r\n";
  if (d.kind == dkNetwork) return writeAll(d, bytes);
  // Serial devices take the bytes one at a time.
  for (char c : bytes) {
    if (!writeAll(d, std::string_view(&c, 1))) return false;
  }
  return true;
}

bool readDescriptorLine(int n, std::string& line) {
  Descriptor& d = descriptors[size_t(n)];
  if (!d.open) return false;
  if (d.kind == dkTextFile) return !d.writing && readFileLine(d, line);
  return readConnectionLine(d, line);
}

bool readDescriptorRest(int n, std::string& text) {
  Descriptor& d = descriptors[size_t(n)];
  if (!d.open || d.kind != dkTextFile || d.writing) return false;
  std::string bytes;
  char chunk[kReceiveBufferSize];
  size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, d.file)) > 0) {
    if (!fitsLimits(0, bytes.size() + got)) return false;
    bytes.append(chunk, got);
  }
  text = textFromFile(bytes);
  return true;
}

bool readDescriptorByte(int n, char& c) {
  Descriptor& d = descriptors[size_t(n)];
  if (!d.open) return false;
  if (d.kind == dkTextFile) {
    int got = d.writing ? EOF : std::getc(d.file);
    c = char(got);
    return got != EOF;
  }
  if (d.received.empty() && !receiveMore(d, networkDeadline())) return false;
  c = d.received[0];
  d.received.erase(0, 1);
  return true;
}

bool descriptorAtEnd(int n) {
  Descriptor& d = descriptors[size_t(n)];
  if (!d.open || d.kind != dkTextFile) return false;
  if (d.writing) return true;
  int c = std::getc(d.file);
  if (c == EOF) return true;
  std::ungetc(c, d.file);
  return false;
}

bool descriptorHasInput(int n) {
  Descriptor& d = descriptors[size_t(n)];
  if (!d.open) return false;
  if (d.kind == dkTextFile) return !descriptorAtEnd(n);
  if (!d.received.empty() || (d.tls && tlsPending(d.tls))) return true;
  return d.fd >= 0 && waitReadable(d.fd, 0);
}

bool waitForInput(int fd, int timeoutMs) {
  constexpr int kSlice = 50;
  auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    int left = millisecondsLeft(deadline);
    if (waitReadable(fd, std::min(left, kSlice))) return true;
    if (left <= kSlice) return false;
    pumpMessages();
    if (takeQueuedExtendedKey(key::CtrlF12)) {
      queueKey(key::CtrlF12, true);
      return false;
    }
  }
}

int networkTimeout() {
  std::string value = readSetting("MURENA", "TIMEOUT_REDE");
  int32_t ms = 0;
  if (!parseInteger(value, ms) || ms <= 0) return 20000;
  return ms;
}

bool readWholeFile(std::string_view name, std::string& text) {
  std::string path = scriptFilePath(name, true);
  std::error_code ec;
  if (path.empty() || !fs::is_regular_file(path, ec)) return false;
  auto size = fs::file_size(path, ec);
  if (ec || !fitsLimits(0, size_t(size))) return false;
  std::FILE* f = openRegularFile(path, "rb");
  if (!f) return false;
  std::string bytes(size_t(size), '\0');
  size_t got = std::fread(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
  bytes.resize(got);
  text = textFromFile(bytes);
  return true;
}

}  // namespace varlo
