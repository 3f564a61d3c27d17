// Portuguese names of characters, said by the engine when the suite's
// recorded letter sound of a character is missing.
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
    {'}', "fecha chaves"}, {'~', "til"}, {'\t', "tab"}, {'\f', "salto de página"},
};

}  // namespace

std::string characterName(uint8_t c) {
  for (const Named& n : kNames) {
    if (uint8_t(n.c) == c) return utf8ToCp1252(n.utf8);
  }
  if (c == 0) return utf8ToCp1252("tecla de função");
  if (c < 32 || c == 127) return "controle " + std::to_string(c);
  return std::string(1, char(c));   // letters, digits and accented letters
}

}  // namespace varlo
