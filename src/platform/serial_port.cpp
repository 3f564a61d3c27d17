// Serial ports: opening and configuring a terminal device in raw mode.
#include "platform/serial_port.h"

#include "platform/error_text.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

namespace varlo {

namespace {

speed_t speedCode(int speed) {
  switch (speed) {
    case 300: return B300;
    case 600: return B600;
    case 1200: return B1200;
    case 2400: return B2400;
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 57600: return B57600;
    case 115200: return B115200;
    case 230400: return B230400;
    default: return B0;
  }
}

tcflag_t sizeFlag(int bits) {
  switch (bits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    case 8: return CS8;
    default: return 0;
  }
}

bool configure(int fd, const SerialSettings& s, std::string& reason) {
  termios t{};
  if (::tcgetattr(fd, &t) != 0) {
    reason = "o dispositivo não é uma porta serial";
    return false;
  }
  speed_t speed = speedCode(s.speed);
  tcflag_t size = sizeFlag(s.dataBits);
  if (speed == B0 || size == 0 || (s.stopBits != 1 && s.stopBits != 2) || s.parity < 0 || s.parity > 2) {
    reason = "configuração não suportada";
    return false;
  }
  ::cfmakeraw(&t);
  t.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
  t.c_cflag |= size | CLOCAL | CREAD;
  if (s.stopBits == 2) t.c_cflag |= CSTOPB;
  if (s.parity != 0) t.c_cflag |= PARENB;
  if (s.parity == 1) t.c_cflag |= PARODD;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;
  ::cfsetispeed(&t, speed);
  ::cfsetospeed(&t, speed);
  if (::tcsetattr(fd, TCSANOW, &t) != 0) {
    reason = errorText(errno);
    return false;
  }
  return true;
}

}  // namespace

std::string serialDevicePath(int n) { return "/dev/ttyS" + std::to_string(n - 1); }

int openSerialPort(const std::string& path, const SerialSettings& settings, std::string& reason) {
  // Non-blocking open: a port without carrier must not hold the script.
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason = errorText(errno);
    return -1;
  }
  if (!configure(fd, settings, reason)) {
    ::close(fd);
    return -1;
  }
  int flags = ::fcntl(fd, F_GETFL);
  ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

}  // namespace varlo
