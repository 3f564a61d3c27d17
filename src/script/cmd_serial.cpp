// SERIAL, a serial port on a descriptor, and SENSOR, the registers of the
// parallel port.
#include "base/codepage.h"
#include "platform/parallel_port.h"
#include "platform/serial_port.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_network.h"
#include "script/cmd_operands.h"
#include "script/interp.h"
#include "script/lexer.h"

namespace varlo {

namespace {

// The port operand: a number (1 is /dev/ttyS0) or the path of a device.
bool readSerialDevice(std::string& path) {
  Operand v = evaluate();
  Operand n = v.tag == Tag::string || v.tag == Tag::integer ? toInteger(v) : invalidValue();
  bool ok = true;
  if (n.tag == Tag::integer && n.first > 0) {
    path = serialDevicePath(n.first);
  } else if (v.tag == Tag::string && !textOf(v).empty() && n.tag != Tag::integer) {
    path = scriptFilePath(textOf(v), false);
  } else {
    ok = false;
  }
  releaseValue(n);
  releaseValue(v);
  return ok;
}

// The classic addresses of the first three ports: data, status and control
// registers at base, base + 1 and base + 2.
bool parallelAddress(int32_t address, int& port, ParallelRegister& reg) {
  const int32_t bases[] = {0x378, 0x278, 0x3BC};
  for (int i = 0; i < 3; ++i) {
    int32_t offset = address - bases[i];
    if (offset >= 0 && offset <= 2) {
      port = i;
      reg = ParallelRegister(offset);
      return true;
    }
  }
  return false;
}

}  // namespace

// SERIAL #n port speed data-bits stop-bits parity: a port that cannot be
// opened sets the I/O status.
bool cmdSerial() {
  int n = parseDescriptor();
  if (n < 0) return false;
  std::string path;
  if (!readSerialDevice(path)) return failLine(cp("Esperava número da porta serial"));
  SerialSettings s;
  if (!readInteger(s.speed, false) || !readInteger(s.dataBits, false) || !readInteger(s.stopBits, false) ||
      !readInteger(s.parity, false)) {
    return failLine(cp("Esperava quatro inteiros: velocidade, número de bits, número de bits de parada e "
                       "paridade"));
  }
  if (descriptorSlot(n).open) {
    return failLine("O descritor #" + std::to_string(n) + cp(" já está aberto"));
  }
  std::string reason;
  int fd = openSerialPort(path, s, reason);
  setIoStatus(fd < 0 ? 1 : 0);
  if (fd >= 0) attachDescriptor(n, dkSerial, fd);
  return true;
}

// SENSOR LE address var | SENSOR ESCREVE address value
bool cmdSensor() {
  bool write = isWord("ESCREVE");
  if (!write && !isWord("LE")) return failLine("Esperava LE ou ESCREVE");
  scan();
  int32_t address = 0;
  int port = 0;
  ParallelRegister reg = prData;
  if (!readInteger(address, false) || !parallelAddress(address, port, reg)) {
    return failLine(cp("Esperava o endereço da porta paralela (888, 889 ou 890 para a primeira)"));
  }
  Lvalue target;
  int32_t value = 0;
  if (write && !readInteger(value, false)) return failLine("Esperava o valor a escrever");
  if (!write && !(target = parseLvalue()).valid()) return false;
  uint8_t byte = uint8_t(value);
  std::string reason;
  if (!accessParallelPort(port, reg, write, byte, reason)) {
    return deviceFailure(false, cp("Porta paralela \"") + parallelDevicePath(port) + cp("\" não disponível"), reason);
  }
  setIoStatus(0);
  return write || assignLvalue(target, integerValue(byte));
}

}  // namespace varlo
