// The parallel port through ppdev: the port is claimed for each access and
// released at once, so other programs may share it between accesses.
#include "platform/parallel_port.h"

#include "platform/error_text.h"

#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

namespace varlo {

namespace {

unsigned long requestFor(ParallelRegister reg, bool write) {
  switch (reg) {
    case prData: return write ? PPWDATA : PPRDATA;
    case prStatus: return PPRSTATUS;
    case prControl: return write ? PPWCONTROL : PPRCONTROL;
  }
  return PPRSTATUS;
}

}  // namespace

std::string parallelDevicePath(int port) { return "/dev/parport" + std::to_string(port); }

bool accessParallelPort(int port, ParallelRegister reg, bool write, uint8_t& value, std::string& reason) {
  if (reg == prStatus && write) {
    reason = "o registro de estado só pode ser lido";
    return false;
  }
  int fd = ::open(parallelDevicePath(port).c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    reason = errorText(errno);
    return false;
  }
  bool ok = ::ioctl(fd, PPCLAIM) == 0;
  if (ok) {
    unsigned char byte = value;
    ok = ::ioctl(fd, requestFor(reg, write), &byte) == 0;
    if (ok && !write) value = byte;
    ::ioctl(fd, PPRELEASE);
  }
  if (!ok) reason = errorText(errno);
  ::close(fd);
  return ok;
}

}  // namespace varlo
