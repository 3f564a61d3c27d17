// TCP sockets for the script language: outgoing connections (IPv4 and IPv6,
// with a time-out), listening ports, accepted connections, and the addresses
// of either end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace varlo {

// Connects to host:port within timeoutMs. A host that reads as a numeric
// address is taken as one; any other is resolved by name. Returns the
// socket, or -1 with a short reason (Portuguese) in reason.
int openTcpConnection(std::string_view host, int port, int timeoutMs, std::string& reason);
// Listens on port of every local address (IPv6 socket that also takes IPv4
// where the system allows, else IPv4). Returns the socket or -1.
int openTcpListener(int port, std::string& reason);
// Takes a waiting connection from a listening socket, waiting up to
// timeoutMs for one; reads and writes on it give up after the network
// time-out. Returns the new socket or -1.
int acceptTcpConnection(int listener, int timeoutMs, int ioTimeoutMs);
// True when fd is a listening socket.
bool isListeningSocket(int fd);
// The local or remote address of a connected socket as text ("127.0.0.1",
// "::1"); empty when there is none.
std::string socketAddress(int fd, bool remote);
// Sends every byte on a connected socket; a peer gone away fails the send
// instead of raising SIGPIPE.
bool sendAll(int fd, const char* data, size_t size);
// Waits up to timeoutMs (0: just looks) for data or an end on fd.
bool waitReadable(int fd, int timeoutMs);

}  // namespace varlo
