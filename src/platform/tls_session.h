// Secure connections over a connected TCP socket (OpenSSL): the server's
// certificate must chain to the system's trust store, or to an extra CA file
// the settings name, and must be issued for the host asked for.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varlo {

struct TlsSession;

// Runs the client handshake on fd for host. caFile, when not empty, is
// trusted besides the system's store. Returns nullptr with a short reason
// (Portuguese) when the handshake or the verification fails; fd stays open
// either way and belongs to the caller.
TlsSession* startTls(int fd, std::string_view host, const std::string& caFile, std::string& reason);
// Sends all bytes; false on failure.
bool tlsSend(TlsSession* s, const char* data, size_t size);
// Receives up to size bytes: the count, 0 at the end of the stream, -1 on
// failure or when the socket's time-out passed.
long tlsReceive(TlsSession* s, char* data, size_t size);
// Bytes already decrypted and waiting.
bool tlsPending(TlsSession* s);
// Says goodbye to the peer (without waiting) and frees the session.
void endTls(TlsSession* s);

}  // namespace varlo
