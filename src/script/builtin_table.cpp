// Implementations of the built-in functions (see commands.h for how to add
// one).
#include "script/commands.h"

namespace varlo {

const BuiltinImpl kBuiltinImpls[] = {
    {nullptr, nullptr, 0, 0},
};
const size_t kBuiltinImplCount = 0;

}  // namespace varlo
