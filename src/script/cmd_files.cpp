// ABRE, FECHA and CHECA: text files on descriptors and the I/O status.
#include "script/cmd_descriptors.h"
#include "script/cmd_operands.h"
#include "script/interp.h"

namespace varlo {

// ABRE [MUDO] #n name [&]
bool cmdOpen() {
  bool quiet = isWord("MUDO");
  if (quiet) scan();
  int n = parseDescriptor();
  if (n < 0) return false;
  std::string name;
  if (!readString(name)) return false;
  char mode = takeAmpersand() ? 'A' : 'L';
  if (descriptorSlot(n).open) {
    setIoStatus(1);
    if (quiet) return true;
    return failLine("O descritor #" + std::to_string(n) + cp(" já está aberto"));
  }
  bool ok = openTextDescriptor(n, name, mode);
  setIoStatus(ok ? 0 : 1);
  if (ok || quiet) return true;
  return failLine("Erro na abertura do arquivo " + name);
}

bool cmdClose() {
  int n = parseDescriptor();
  if (n < 0) return false;
  bool ok = closeDescriptor(n);
  setIoStatus(ok ? 0 : 1);
  if (!ok) return failLine("Erro no fechamento do arquivo #" + std::to_string(n));
  return true;
}

bool cmdCheck() {
  Lvalue target = parseLvalue();
  return target.valid() && assignLvalue(target, integerValue(ioStatus()));
}

}  // namespace varlo
