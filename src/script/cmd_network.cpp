// Network commands: INTERNET, CONECTA, SERVE, ACEITA, IP and OBSERVA (which
// also looks at the keyboard, files and serial ports).
#include <unistd.h>

#include "base/codepage.h"
#include "base/config.h"
#include "console/console.h"
#include "platform/net_socket.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_network.h"
#include "script/cmd_operands.h"
#include "script/interp.h"
#include "script/lexer.h"

namespace varlo {

namespace {

bool takeWord(const char* word) {
  if (!isWord(word)) return false;
  scan();
  return true;
}

// A descriptor that must be free before a connection is put on it.
bool descriptorFree(int n, bool quiet) {
  if (!descriptorSlot(n).open) return true;
  deviceFailure(quiet, "O descritor #" + std::to_string(n) + cp(" já está aberto"));
  return false;
}

}  // namespace

bool deviceFailure(bool quiet, std::string_view message, std::string_view reason) {
  setIoStatus(1);
  if (quiet) {
    skipToEnd();
    return true;
  }
  std::string text(message);
  if (!reason.empty()) text += "\n" + utf8ToCp1252(reason);
  return failLine(text);
}

int openConnection(const std::string& host, int port, bool secure, TlsSession*& tls, std::string& reason) {
  tls = nullptr;
  std::string name = cp1252ToUtf8(host);
  int fd = openTcpConnection(name, port, networkTimeout(), reason);
  if (fd < 0 || !secure) return fd;
  tls = startTls(fd, name, readPathSetting("MURENA", "CA_REDE"), reason);
  if (tls) return fd;
  ::close(fd);
  return -1;
}

bool cmdInternet() {
  if (takeWord("INICIA") || takeWord("TERMINA")) return true;
  return failLine("Esperava INICIA ou TERMINA");
}

// CONECTA [SSL] [MUDO] #n host port
bool cmdConnect() {
  bool secure = takeWord("SSL");
  bool quiet = takeWord("MUDO");
  if (!secure) secure = takeWord("SSL");
  int n = parseDescriptor();
  if (n < 0) return false;
  std::string host;
  int32_t port = 0;
  if (!readString(host, false) || host.empty()) return failLine(cp("Esperava cadeia com endereço do servidor"));
  if (!readInteger(port, false)) return failLine(cp("Esperava número da porta"));
  if (!descriptorFree(n, quiet)) return quiet;
  TlsSession* tls = nullptr;
  std::string reason;
  int fd = openConnection(host, port, secure, tls, reason);
  if (fd < 0) return deviceFailure(quiet, cp("Erro ao tentar conexão TCP"), reason);
  attachDescriptor(n, dkNetwork, fd, tls);
  setIoStatus(0);
  return true;
}

// SERVE [MUDO] #n port
bool cmdServe() {
  bool quiet = takeWord("MUDO");
  int n = parseDescriptor();
  if (n < 0) return false;
  int32_t port = 0;
  if (!readInteger(port, false)) return failLine(cp("Esperava número da porta"));
  if (!descriptorFree(n, quiet)) return quiet;
  std::string reason;
  int fd = openTcpListener(port, reason);
  if (fd < 0) return deviceFailure(quiet, "Erro ao servir a porta " + std::to_string(port), reason);
  attachDescriptor(n, dkNetwork, fd);
  setIoStatus(0);
  return true;
}

// ACEITA [MUDO] #n #m: waits up to the network time-out for a connection on
// the listening descriptor n and puts it on m.
bool cmdAccept() {
  bool quiet = takeWord("MUDO");
  int n = parseDescriptor();
  if (n < 0) return false;
  int m = parseDescriptor();
  if (m < 0) return false;
  if (!descriptorFree(m, quiet)) return quiet;
  const Descriptor& d = descriptorSlot(n);
  if (!d.open || !d.listening) {
    return deviceFailure(quiet, cp("Erro ao aceitar conexão"), "o descritor #" + std::to_string(n) +
                                                                  " não escuta uma porta (veja SERVE)");
  }
  int fd = waitForInput(d.fd, networkTimeout()) ? acceptTcpConnection(d.fd, 0, networkTimeout()) : -1;
  if (fd < 0) return deviceFailure(quiet, cp("Erro ao aceitar conexão"), "nenhum pedido de conexão chegou");
  attachDescriptor(m, dkNetwork, fd);
  setIoStatus(0);
  return true;
}

// IP LOCAL|REMOTO #n var: leaves the variable alone and sets the I/O status
// when the descriptor holds no connection.
bool cmdIp() {
  bool remote = takeWord("REMOTO");
  if (!remote && !takeWord("LOCAL")) return failLine("Esperava LOCAL ou REMOTO");
  int n = parseDescriptor();
  if (n < 0) return false;
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  const Descriptor& d = descriptorSlot(n);
  std::string address = d.open && d.kind == dkNetwork ? socketAddress(d.fd, remote) : std::string();
  setIoStatus(address.empty() ? 1 : 0);
  if (address.empty()) return true;
  return assignLvalue(target, stringValue(std::move(address)));
}

// OBSERVA TECLADO var | OBSERVA #n var
bool cmdObserve() {
  int n = -1;
  if (!takeWord("TECLADO")) {
    if (theToken.kind != tkHash) return failLine("Esperava TECLADO ou um descritor");
    n = parseDescriptor();
    if (n < 0) return false;
  }
  Lvalue target = parseLvalue();
  if (!target.valid()) return false;
  if (n >= 0 && !descriptorSlot(n).open) {
    return failLine(cp("Não há arquivo aberto associado ao descritor #") + std::to_string(n));
  }
  bool waiting = n < 0 ? keyPending() : descriptorHasInput(n);
  return assignLvalue(target, integerValue(waiting ? 1 : 0));
}

}  // namespace varlo
