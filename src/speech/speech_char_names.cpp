// Portuguese names of characters: said by the engine when the suite's
// recorded letter sound of a character is missing, and recorded by the
// tool that makes the suite voice's letters.
#include "speech/speech_char_names.h"

#include <string>

#include "speech/speech_state.h"
#include "base/codepage.h"

namespace varlo {
namespace {

struct Named {
  char c;
  const char* utf8;
};

constexpr Named kNames[] = {
    {' ', "espaço"}, {'!', "exclamação"}, {'"', "aspas"}, {'#', "cerquilha"},
    {'$', "cifrão"}, {'%', "por cento"}, {'&', "e comercial"}, {'\'', "apóstrofo"},
    {'(', "abre parênteses"}, {')', "fecha parênteses"}, {'*', "asterisco"},
    {'+', "mais"}, {',', "vírgula"}, {'-', "hífen"}, {'.', "ponto"}, {'/', "barra"},
    {':', "dois pontos"}, {';', "ponto e vírgula"}, {'<', "menor"}, {'=', "igual"},
    {'>', "maior"}, {'?', "interrogação"}, {'@', "arroba"}, {'[', "abre colchetes"},
    {'\\', "barra invertida"}, {']', "fecha colchetes"}, {'^', "circunflexo"},
    {'_', "sublinhado"}, {'`', "crase"}, {'{', "abre chaves"}, {'|', "barra vertical"},
    {'}', "fecha chaves"}, {'~', "til"}, {'\f', "salto de página"},
    {'\0', "tecla de função"},
};

}  // namespace

const char* symbolName(uint8_t c) {
  for (const Named& n : kNames) {
    if (uint8_t(n.c) == c) return n.utf8;
  }
  return nullptr;
}

std::string characterName(uint8_t c) {
  if (c == '\t') return "tab";
  if (const char* name = symbolName(c)) return utf8ToCp1252(name);
  if (c < 32 || c == 127) return "controle " + std::to_string(c);
  return std::string(1, char(c));   // letters, digits and accented letters
}

}  // namespace varlo
