// Implementations of the built-in functions (see commands.h for how to add
// one).
#include "script/commands.h"

namespace varlo {

// Handlers of the built-in functions (builtin_*.cpp).
bool fnOpenFile(const SymtbEntry&);
bool fnKeys(const SymtbEntry&);
bool fnChr(const SymtbEntry&);
bool fnContents(const SymtbEntry&);
bool fnDate(const SymtbEntry&);
bool fnWeekday(const SymtbEntry&);
bool fnDirectory(const SymtbEntry&);
bool fnDuplicate(const SymtbEntry&);
bool fnFalse(const SymtbEntry&);
bool fnEndOfFile(const SymtbEntry&);
bool fnTime(const SymtbEntry&);
bool fnUndefined(const SymtbEntry&);
bool fnInsert(const SymtbEntry&);
bool fnInteger(const SymtbEntry&);
bool fnUpper(const SymtbEntry&);
bool fnMap(const SymtbEntry&);
bool fnNot(const SymtbEntry&);
bool fnOrd(const SymtbEntry&);
bool fnWord(const SymtbEntry&);
bool fnPos(const SymtbEntry&);
bool fnRandom(const SymtbEntry&);
bool fnRemove(const SymtbEntry&);
bool fnSize(const SymtbEntry&);
bool fnElapsed(const SymtbEntry&);
bool fnType(const SymtbEntry&);
bool fnTrim(const SymtbEntry&);
bool fnTrue(const SymtbEntry&);

const BuiltinImpl kBuiltinImpls[] = {
    {"ABREARQ", fnOpenFile, 3, kBuiltinHashAllowed},
    {"CHAVES", fnKeys, 1, 0},
    {"CHR", fnChr, 1, 0},
    {"CONTEUDO", fnContents, 2, kBuiltinNeedsParens},
    {"DATA", fnDate, 0, 0},
    {"DIA", fnWeekday, 0, 0},
    {"DIRETORIO", fnDirectory, 2, kBuiltinNeedsParens},
    {"DUPLICA", fnDuplicate, 1, 0},
    {"FALSO", fnFalse, 0, 0},
    {"FDA", fnEndOfFile, 1, kBuiltinHashAllowed},
    {"FIMARQ", fnEndOfFile, 1, kBuiltinHashAllowed},
    {"HORA", fnTime, 0, 0},
    {"INDEFINIDO", fnUndefined, 0, 0},
    {"INSERE", fnInsert, 3, 0},
    {"INTEIRO", fnInteger, 1, 0},
    {"MAIUSC", fnUpper, 1, 0},
    {"MAP", fnMap, 2, 0},
    {"NAO", fnNot, 1, 0},
    {"ORD", fnOrd, 1, 0},
    {"PALAVRA", fnWord, 2, 0},
    {"POS", fnPos, 2, 0},
    {"RAND", fnRandom, 1, 0},
    {"RETIRA", fnRemove, 2, 0},
    {"TAMANHO", fnSize, 1, 0},
    {"TEMPO", fnElapsed, 0, 0},
    {"TIPO", fnType, 1, 0},
    {"TRIM", fnTrim, 1, 0},
    {"VERDADEIRO", fnTrue, 0, 0},
};
const size_t kBuiltinImplCount = sizeof kBuiltinImpls / sizeof kBuiltinImpls[0];

}  // namespace varlo
