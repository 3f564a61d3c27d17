// A small program for the terminal test: prints accented text in colour,
// reads a line, then names every key until Esc; F2 hands the terminal to the
// program named by VARLO_DEMO_PROGRAM.
#include <cstdlib>
#include <string>

#include "console/console.h"
#include "base/codepage.h"
#include "frontends/front_end_choice.h"
#include "platform/process.h"

using namespace varlo;

int main() {
  useFrontEnd();
  setTitle(utf8ToCp1252("Demonstração do console"));
  setTextColor(14);
  writeText(utf8ToCp1252("Ação: digite e tecle Enter\r\n"));
  setTextColor(7);
  std::string line = readLine();
  writeText(utf8ToCp1252("Você digitou: ") + line + "\r\n");
  for (;;) {
    uint8_t code = readKey();
    if (code == key::Esc) break;
    std::string name = std::to_string(code);
    if (code == 0) name += "," + std::to_string(readKey());
    if (name == "0,60" && std::getenv("VARLO_DEMO_PROGRAM"))
      name += " -> " + std::to_string(runProgram({"sh", "-c", std::getenv("VARLO_DEMO_PROGRAM")},
                                                 ProgramMode::terminal));
    writeText("Tecla: " + name + "\r\n");
  }
  writeText("Fim\r\n");
  return 0;
}
