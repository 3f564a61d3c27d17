// Secure connections through OpenSSL with certificate and host-name
// verification.
#include "platform/tls_session.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <csignal>

namespace varlo {

struct TlsSession {
  SSL_CTX* context = nullptr;
  SSL* ssl = nullptr;
};

namespace {

bool isNumericAddress(const std::string& host) {
  unsigned char buffer[16];
  return ::inet_pton(AF_INET, host.c_str(), buffer) == 1 || ::inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

SSL_CTX* newContext(const std::string& caFile, std::string& reason) {
  SSL_CTX* context = SSL_CTX_new(TLS_client_method());
  if (!context) {
    reason = "não foi possível iniciar o OpenSSL";
    return nullptr;
  }
  SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION);
  // A peer that closes without the TLS goodbye ends the stream all the same;
  // a download still checks its announced length.
  SSL_CTX_set_options(context, SSL_OP_IGNORE_UNEXPECTED_EOF);
  SSL_CTX_set_verify(context, SSL_VERIFY_PEER, nullptr);
  SSL_CTX_set_default_verify_paths(context);
  if (!caFile.empty() && SSL_CTX_load_verify_locations(context, caFile.c_str(), nullptr) != 1) {
    reason = "certificado de autoridade ilegível: " + caFile;
    SSL_CTX_free(context);
    return nullptr;
  }
  return context;
}

// Names the peer must carry: a host name is checked against the
// certificate's names, a numeric address against its IP entries.
bool expectPeer(SSL* ssl, const std::string& host) {
  if (isNumericAddress(host)) {
    return X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl), host.c_str()) == 1;
  }
  return SSL_set_tlsext_host_name(ssl, host.c_str()) == 1 && SSL_set1_host(ssl, host.c_str()) == 1;
}

std::string handshakeFailure(SSL* ssl) {
  long verify = SSL_get_verify_result(ssl);
  if (verify != X509_V_OK) {
    return std::string("certificado do servidor recusado: ") + X509_verify_cert_error_string(verify);
  }
  unsigned long error = ERR_peek_last_error();
  if (error != 0) return std::string("falha na negociação segura: ") + ERR_reason_error_string(error);
  return "falha na negociação segura";
}

}  // namespace

TlsSession* startTls(int fd, std::string_view host, const std::string& caFile, std::string& reason) {
  // OpenSSL writes to the socket itself: a peer gone away must fail the
  // write, not end the program with SIGPIPE.
  static const bool pipeIgnored = std::signal(SIGPIPE, SIG_IGN) != SIG_ERR;
  (void)pipeIgnored;
  ERR_clear_error();
  auto* s = new TlsSession;
  std::string name(host);
  s->context = newContext(caFile, reason);
  if (s->context) s->ssl = SSL_new(s->context);
  bool ok = s->ssl && expectPeer(s->ssl, name) && SSL_set_fd(s->ssl, fd) == 1;
  if (ok && SSL_connect(s->ssl) != 1) {
    reason = handshakeFailure(s->ssl);
    ok = false;
  } else if (!ok && reason.empty()) {
    reason = "falha na negociação segura";
  }
  if (!ok) {
    if (s->ssl) SSL_free(s->ssl);
    if (s->context) SSL_CTX_free(s->context);
    delete s;
    ERR_clear_error();
    return nullptr;
  }
  return s;
}

bool tlsSend(TlsSession* s, const char* data, size_t size) {
  while (size > 0) {
    size_t sent = 0;
    if (SSL_write_ex(s->ssl, data, size, &sent) != 1) {
      ERR_clear_error();
      return false;
    }
    data += sent;
    size -= sent;
  }
  return true;
}

long tlsReceive(TlsSession* s, char* data, size_t size) {
  size_t got = 0;
  if (SSL_read_ex(s->ssl, data, size, &got) == 1) return long(got);
  int error = SSL_get_error(s->ssl, 0);
  ERR_clear_error();
  if (error == SSL_ERROR_ZERO_RETURN) return 0;
  return -1;
}

bool tlsPending(TlsSession* s) { return SSL_pending(s->ssl) > 0; }

void endTls(TlsSession* s) {
  if (!s) return;
  SSL_shutdown(s->ssl);
  SSL_free(s->ssl);
  SSL_CTX_free(s->context);
  ERR_clear_error();
  delete s;
}

}  // namespace varlo
