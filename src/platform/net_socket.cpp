// TCP sockets: name resolution, connecting with a time-out, listening and
// accepting.
#include "platform/net_socket.h"

#include "platform/error_text.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cerrno>

namespace varlo {

namespace {

// Reads and writes that stall give up after the time-out instead of holding
// the script for ever.
void limitBlocking(int fd, int timeoutMs) {
  timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
  ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
}

bool setBlocking(int fd, bool blocking) {
  int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0) return false;
  flags = blocking ? flags & ~O_NONBLOCK : flags | O_NONBLOCK;
  return ::fcntl(fd, F_SETFL, flags) == 0;
}

// One address tried: a non-blocking connect waited for with poll.
int connectOne(const addrinfo& a, int timeoutMs, int& error) {
  int fd = ::socket(a.ai_family, a.ai_socktype | SOCK_CLOEXEC, a.ai_protocol);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  setBlocking(fd, false);
  int rc = ::connect(fd, a.ai_addr, a.ai_addrlen);
  if (rc != 0 && errno == EINPROGRESS) {
    pollfd p{fd, POLLOUT, 0};
    rc = ::poll(&p, 1, timeoutMs);
    if (rc == 0) {
      error = ETIMEDOUT;
      rc = -1;
    } else if (rc > 0) {
      socklen_t len = sizeof error;
      ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len);
      rc = error == 0 ? 0 : -1;
    } else {
      error = errno;
    }
  } else if (rc != 0) {
    error = errno;
  }
  if (rc != 0) {
    ::close(fd);
    return -1;
  }
  setBlocking(fd, true);
  limitBlocking(fd, timeoutMs);
  return fd;
}

addrinfo* resolve(std::string_view host, int port, int flags) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = flags;
  addrinfo* list = nullptr;
  std::string service = std::to_string(port);
  if (::getaddrinfo(std::string(host).c_str(), service.c_str(), &hints, &list) != 0) return nullptr;
  return list;
}

}  // namespace

int openTcpConnection(std::string_view host, int port, int timeoutMs, std::string& reason) {
  if (host.empty() || host.find('\0') != std::string_view::npos || port <= 0 || port > 65535) {
    reason = "endereço ou porta inválidos";
    return -1;
  }
  // A numeric address needs no look-up; a name is resolved.
  addrinfo* list = resolve(host, port, AI_NUMERICHOST);
  if (!list) list = resolve(host, port, AI_ADDRCONFIG);
  if (!list) {
    reason = "servidor não encontrado";
    return -1;
  }
  int fd = -1, error = 0;
  for (addrinfo* a = list; a && fd < 0; a = a->ai_next) fd = connectOne(*a, timeoutMs, error);
  ::freeaddrinfo(list);
  if (fd < 0) reason = errorText(error);
  return fd;
}

int openTcpListener(int port, std::string& reason) {
  if (port < 0 || port > 65535) {
    reason = "porta inválida";
    return -1;
  }
  int fd = ::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int one = 1, zero = 0;
  if (fd >= 0) {
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &zero, sizeof zero);
    sockaddr_in6 a{};
    a.sin6_family = AF_INET6;
    a.sin6_addr = in6addr_any;
    a.sin6_port = htons(uint16_t(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      ::close(fd);
      fd = -1;
    }
  }
  if (fd < 0) {  // no IPv6 on this machine
    fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
      reason = errorText(errno);
      return -1;
    }
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_ANY);
    a.sin_port = htons(uint16_t(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
      reason = errorText(errno);
      ::close(fd);
      return -1;
    }
  }
  // A client that gives up between poll and accept must not block accept.
  if (!setBlocking(fd, false) || ::listen(fd, 8) != 0) {
    reason = errorText(errno);
    ::close(fd);
    return -1;
  }
  return fd;
}

int acceptTcpConnection(int listener, int timeoutMs, int ioTimeoutMs) {
  if (!waitReadable(listener, timeoutMs)) return -1;
  int fd = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
  if (fd >= 0) limitBlocking(fd, ioTimeoutMs);
  return fd;
}

bool isListeningSocket(int fd) {
  int listening = 0;
  socklen_t len = sizeof listening;
  return ::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &len) == 0 && listening != 0;
}

std::string socketAddress(int fd, bool remote) {
  sockaddr_storage a{};
  socklen_t len = sizeof a;
  auto* any = reinterpret_cast<sockaddr*>(&a);
  if ((remote ? ::getpeername(fd, any, &len) : ::getsockname(fd, any, &len)) != 0) return {};
  char text[INET6_ADDRSTRLEN] = {};
  if (a.ss_family == AF_INET) {
    ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(&a)->sin_addr, text, sizeof text);
  } else if (a.ss_family == AF_INET6) {
    auto& six = reinterpret_cast<sockaddr_in6*>(&a)->sin6_addr;
    // An IPv4 peer of a dual-stack socket is shown in dotted form.
    if (IN6_IS_ADDR_V4MAPPED(&six)) {
      ::inet_ntop(AF_INET, &six.s6_addr[12], text, sizeof text);
    } else {
      ::inet_ntop(AF_INET6, &six, text, sizeof text);
    }
  }
  return text;
}

bool sendAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= size_t(n);
  }
  return true;
}

bool waitReadable(int fd, int timeoutMs) {
  pollfd p{fd, POLLIN, 0};
  for (;;) {
    int ready = ::poll(&p, 1, timeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    return ready > 0;
  }
}

}  // namespace varlo
