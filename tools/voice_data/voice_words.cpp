// What the recorded words and letters of the suite voice say: letter names
// for every printable character, phonetic names, number, clock and date
// words, and the short spoken cues of the editor and the lists.
#include "voice_data/voice_data.h"

#include <map>
#include <set>

#include "base/codepage.h"
#include "speech/number_reading.h"
#include "speech/speech_char_names.h"

namespace varlo::voicedata {
namespace {

const char* const kLetterNames[26] = {
    "á", "bê", "cê", "dê", "é", "éfe", "gê", "agá", "i", "jota", "cá", "éle", "ême",
    "ene", "ó", "pê", "quê", "érre", "ésse", "tê", "u", "vê", "dáblio", "xis", "ípsilon", "zê"};

const char* const kPhoneticWords[26] = {
    "amor", "bola", "casa", "dado", "escola", "faca", "gato", "hotel", "igreja",
    "janela", "quilo", "lua", "mesa", "navio", "ovo", "pato", "queijo", "rato",
    "sapo", "tatu", "uva", "vaca", "web", "xícara", "iate", "zebra"};

// Names of the Windows-1252 symbols above ASCII.
const std::map<int, const char*>& symbolNames() {
  static const std::map<int, const char*> names = {
      {128, "euro"}, {130, "vírgula baixa"}, {131, "éfe cursivo"}, {132, "aspas baixas"},
      {133, "reticências"}, {134, "adaga"}, {135, "adaga dupla"}, {136, "circunflexo"},
      {137, "por mil"}, {138, "ésse com caron"}, {139, "menor"}, {140, "o e ligados"},
      {142, "zê com caron"}, {145, "apóstrofo"}, {146, "apóstrofo"}, {147, "aspas"},
      {148, "aspas"}, {149, "marcador"}, {150, "travessão"}, {151, "travessão"},
      {152, "til"}, {153, "marca comercial"}, {154, "ésse com caron"}, {155, "maior"},
      {156, "o e ligados"}, {158, "zê com caron"}, {159, "ípsilon trema"},
      {160, "espaço"}, {161, "exclamação invertida"}, {162, "centavo"}, {163, "libra"},
      {164, "moeda"}, {165, "iene"}, {166, "barra partida"}, {167, "parágrafo"},
      {168, "trema"}, {169, "copyright"}, {170, "ordinal feminino"}, {171, "aspas angulares"},
      {172, "negação"}, {173, "hífen"}, {174, "registrado"}, {175, "mácron"}, {176, "grau"},
      {177, "mais ou menos"}, {178, "ao quadrado"}, {179, "ao cubo"}, {180, "acento agudo"},
      {181, "micro"}, {182, "parágrafo"}, {183, "ponto médio"}, {184, "cedilha"},
      {185, "elevado a um"}, {186, "ordinal masculino"}, {187, "aspas angulares"},
      {188, "um quarto"}, {189, "um meio"}, {190, "três quartos"},
      {191, "interrogação invertida"}, {215, "vezes"}, {247, "dividido"},
      {208, "ed"}, {240, "ed"}, {222, "thorn"}, {254, "thorn"}, {223, "ésse duplo"}};
  return names;
}

// The accented letters of 192..255: base letter and accent.
std::string accentedName(int code) {
  const std::string letter = cp1252ToUtf8(std::string(1, char(code)));
  static const std::map<std::string, std::pair<char, const char*>> accents = {
      {"à", {'a', "crase"}}, {"á", {'a', "agudo"}}, {"â", {'a', "circunflexo"}},
      {"ã", {'a', "til"}}, {"ä", {'a', "trema"}}, {"å", {'a', "com anel"}}, {"æ", {'a', "e ligados"}},
      {"ç", {'c', "cedilha"}}, {"è", {'e', "crase"}}, {"é", {'e', "agudo"}},
      {"ê", {'e', "circunflexo"}}, {"ë", {'e', "trema"}}, {"ì", {'i', "crase"}},
      {"í", {'i', "agudo"}}, {"î", {'i', "circunflexo"}}, {"ï", {'i', "trema"}},
      {"ñ", {'n', "til"}}, {"ò", {'o', "crase"}}, {"ó", {'o', "agudo"}},
      {"ô", {'o', "circunflexo"}}, {"õ", {'o', "til"}}, {"ö", {'o', "trema"}},
      {"ø", {'o', "cortado"}}, {"ù", {'u', "crase"}}, {"ú", {'u', "agudo"}},
      {"û", {'u', "circunflexo"}}, {"ü", {'u', "trema"}}, {"ý", {'y', "agudo"}},
      {"ÿ", {'y', "trema"}}};
  const std::string lower = cp1252ToUtf8(std::string(1, char(code >= 224 ? code : code + 32)));
  auto it = accents.find(lower);
  if (it == accents.end()) return "";
  return std::string(kLetterNames[it->second.first - 'a']) + " " + it->second.second;
}

std::string letterName(int code) {
  if (code >= 'a' && code <= 'z') return kLetterNames[code - 'a'];
  if (code >= 'A' && code <= 'Z') return kLetterNames[code - 'A'];
  if (code >= '0' && code <= '9') return std::string(1, char(code));
  if (const char* name = symbolName(uint8_t(code))) return name;
  auto it = symbolNames().find(code);
  if (it != symbolNames().end()) return it->second;
  if (code >= 192) return accentedName(code);
  return "";
}

// Spoken forms of recording names whose written form lost an accent or
// was cut to eight characters.
const std::map<std::string, std::string>& fullWords() {
  static const std::map<std::string, std::string> words = {
      {"_tres", "três"}, {"_trilhao", "trilhão"}, {"_trilhoe", "trilhões"},
      {"_bilhao", "bilhão"}, {"_bilhoes", "bilhões"}, {"_milhao", "milhão"},
      {"_milhoes", "milhões"}, {"_dezesse", "dezesseis"}, {"_dezeset", "dezessete"},
      {"_quatorz", "quatorze"}, {"_quarent", "quarenta"}, {"_cinquen", "cinquenta"},
      {"_sessent", "sessenta"}, {"_duzento", "duzentos"}, {"_trezent", "trezentos"},
      {"_quatroc", "quatrocentos"}, {"_quinhen", "quinhentos"}, {"_seiscen", "seiscentos"},
      {"_setecen", "setecentos"}, {"_oitocen", "oitocentos"}, {"_novecen", "novecentos"},
      {"_primeir", "primeiro"}, {"_Terca", "terça"}, {"_Sabado", "sábado"},
      {"_Marco", "março"}, {"_Feverei", "fevereiro"}, {"_Setembr", "setembro"},
      {"_Novembr", "novembro"}, {"_Dezembr", "dezembro"}, {"_e", "i"}, {"_de", "di"}};
  return words;
}

// The short cues of the editor, lists and battery report.
constexpr std::pair<const char*, const char*> kCues[] = {
    {"_DEL", "apaga"}, {"_BUSCAR", "buscar"}, {"_ACHEI", "achei"},
    {"_NAOACH", "não achei"}, {"_FALACI", "fala ligada"}, {"_FALDLG", "fala desligada"},
    {"_VELOC", "velocidade"}, {"_APFCPO", "apagado até o fim"},
    {"_APICPO", "apagado até o início"}, {"_CPOAPA", "campo apagado"},
    {"_MENOS", "menos"}, {"_SEMBAT", "sem bateria"}, {"_SEMENER", "sem energia, na bateria"},
    {"_zero", "zero"}};

}  // namespace

std::vector<Spoken> letterRecordings() {
  std::vector<Spoken> out;
  for (int code = 0; code < 256; ++code) {
    std::string name = letterName(code);
    if (name.empty()) continue;
    out.push_back({"_" + std::to_string(code), name});
    const bool letter = (code | 32) >= 'a' && (code | 32) <= 'z';
    if (letter) {
      const int index = (code | 32) - 'a';
      out.push_back({"_FON" + std::to_string(code),
                     name + " de " + kPhoneticWords[index]});
    } else if (code >= 192 && code != 215 && code != 247) {
      out.push_back({"_FON" + std::to_string(code), name});
    }
  }
  out.push_back({"_FON9", "tabulação"});
  out.push_back({"_unknown", "desconhecido"});
  return out;
}

std::vector<Spoken> wordRecordings() {
  std::set<std::string> names;
  auto collect = [&names](const std::vector<std::string>& some) { names.insert(some.begin(), some.end()); };
  for (uint32_t n : {1u, 2u, 100u, 1000u, 1000000u, 2000000u, 1000000000u, 2000000000u})
    collect(wordRecordingNames(numberWords(n), false));
  for (uint32_t n = 0; n < 1000; ++n) collect(wordRecordingNames(numberWords(n), false));
  for (int h = 0; h < 24; ++h)
    for (int m = 0; m < 60; ++m) collect(hourMinuteRecordings(h, m));
  for (int month = 1; month <= 12; ++month)
    for (int day = 1; day <= 7; ++day) collect(dateRecordings(day, month, 2026));
  collect({"_uma", "_duas", "_trilhao", "_trilhoe"});
  std::vector<Spoken> out;
  for (const std::string& name : names) {
    auto full = fullWords().find(name);
    std::string text = full != fullWords().end() ? full->second : name.substr(1);
    out.push_back({name, text});
  }
  for (const auto& [name, text] : kCues)
    if (!names.count(name)) out.push_back({name, text});
  return out;
}

}  // namespace varlo::voicedata
