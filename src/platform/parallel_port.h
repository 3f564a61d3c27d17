// The parallel port through the kernel's ppdev driver (/dev/parportN): the
// data, status and control registers of a port, read and written as bytes.
#pragma once

#include <cstdint>
#include <string>

namespace varlo {

enum ParallelRegister : uint8_t { prData = 0, prStatus = 1, prControl = 2 };

// Reads (write false) or writes one register of /dev/parport<port>. False
// with a short reason (Portuguese) when the port cannot be used.
bool accessParallelPort(int port, ParallelRegister reg, bool write, uint8_t& value, std::string& reason);
// The device of a port number.
std::string parallelDevicePath(int port);

}  // namespace varlo
