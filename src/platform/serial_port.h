// Serial ports through termios: opened raw with the speed, data bits, stop
// bits and parity a script asks for.
#pragma once

#include <string>

namespace varlo {

struct SerialSettings {
  int speed = 9600;   // bits per second
  int dataBits = 8;   // 5 to 8
  int stopBits = 1;   // 1 or 2
  int parity = 0;     // 0 none, 1 odd, 2 even
};

// The device of port number n (1 is the first port, /dev/ttyS0).
std::string serialDevicePath(int n);
// Opens and configures the port. Returns the descriptor, or -1 with a short
// reason (Portuguese): the device is missing or busy, or a setting is not
// supported.
int openSerialPort(const std::string& path, const SerialSettings& settings, std::string& reason);

}  // namespace varlo
