// Shared by the commands that reach the network and the serial and parallel
// ports: failures that either stop the script or, with MUDO, only set the
// I/O status, and outgoing connections, plain or secure.
#pragma once

#include <string>
#include <string_view>

#include "platform/tls_session.h"

namespace varlo {

// Sets the I/O status to 1; unless quiet, reports the message (with the
// reason, UTF-8, on a line of its own) and fails. The rest of the line is
// skipped.
bool deviceFailure(bool quiet, std::string_view message, std::string_view reason = {});
// Connects to host (Windows-1252) and port within the network time-out;
// secure connections verify the server against the system's trust store
// and the CA file of [MURENA] CA_REDE. Returns the socket and its session,
// or -1 with the reason (UTF-8).
int openConnection(const std::string& host, int port, bool secure, TlsSession*& tls, std::string& reason);

}  // namespace varlo
