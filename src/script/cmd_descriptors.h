// The 16 file descriptors of the script language (#0 ... #15): text files
// opened by ABRE and ABREARQ, and the network connections and serial ports
// that the device commands attach. ESCREVE, LE, FECHA, FIMARQ and the JSON
// reader use them through these functions; every descriptor is closed by
// the interpreter reset.
//
// Names given by scripts are Windows-1252 and may use backslashes; on disk
// they are UTF-8 paths with "/", and an existing file is found whatever the
// letter case of its name. Text files are read as Windows-1252 or UTF-8
// (recognised line by line) and written as UTF-8, except that appending to
// a file already in Windows-1252 goes on in Windows-1252.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "platform/tls_session.h"

namespace varlo {

constexpr int kDescriptorCount = 16;
constexpr size_t kReceiveBufferSize = 4096;

enum DescriptorKind : uint8_t { dkConsole = 0, dkTextFile = 1, dkNetwork = 2, dkSerial = 3 };

struct Descriptor {
  bool open = false;
  uint8_t kind = dkConsole;
  std::FILE* file = nullptr;   // text file
  bool writing = false;        // text file opened for writing or appending
  bool windows1252 = false;    // appending to a file written in Windows-1252
  int fd = -1;                 // network connection or serial port
  TlsSession* tls = nullptr;   // secure connection over fd
  bool listening = false;      // a port waiting for connections (SERVE)
  std::string received;        // bytes received and not yet read
};

// Descriptor n (0-15).
Descriptor& descriptorSlot(int n);

// Reads "#n" at the current token: the number, or -1 after reporting
// "Esperava um descritor de arquivo" / "Descritor de arquivo inválido".
int parseDescriptor();

// A script's file name as a path on disk; with existing set, an entry whose
// name differs only in letter case is found.
std::string scriptFilePath(std::string_view name, bool existing);

// Opens a text file on a closed descriptor: mode 'L' reads, 'E' writes
// (created or emptied), 'A' appends (created if absent).
bool openTextDescriptor(int n, std::string_view name, char mode);
// Hands an open socket or serial port to a descriptor (device commands).
bool attachDescriptor(int n, uint8_t kind, int fd, TlsSession* tls = nullptr);
bool closeDescriptor(int n);
void closeAllDescriptors();

// Writes text, with CR LF (network, serial) or LF (file) when lineBreak.
bool writeToDescriptor(int n, std::string_view text, bool lineBreak);
// One line without its end; false at the end of input or on an error.
bool readDescriptorLine(int n, std::string& line);
// Everything left in a text file opened for reading (false for others).
bool readDescriptorRest(int n, std::string& text);
// One byte; false at the end of input.
bool readDescriptorByte(int n, char& c);
// An open text file with nothing more to read.
bool descriptorAtEnd(int n);
// Input waiting on an open descriptor, without blocking: a line or byte of
// a file, received data (or the peer's end) on a connection or serial port,
// a connection waiting on a listening port.
bool descriptorHasInput(int n);

// Longest line taken from a connection or serial port: a peer that sends
// no line feed gets its bytes back in pieces of this size.
constexpr size_t kLongestReceivedLine = 64 * 1024;

// Waits up to timeoutMs for input on a socket or serial port while the
// console goes on working. False on time-out, and at once when the user
// asks the script to stop (Ctrl+F12, left queued for the interpreter).
bool waitForInput(int fd, int timeoutMs);

// Milliseconds a network read waits: [MURENA] TIMEOUT_REDE, default 20000.
int networkTimeout();

// The whole of a text file as Windows-1252; false when it cannot be read.
bool readWholeFile(std::string_view name, std::string& text);

}  // namespace varlo
