// Implementations of the language's commands (see commands.h for how to add
// one). Control-flow commands are registered by the interpreter itself.
#include "script/commands.h"

namespace varlo {

const CommandImpl kCommandImpls[] = {
    {nullptr, nullptr},
};
const size_t kCommandImplCount = 0;

void resetCommandState() {}

}  // namespace varlo
