// Libraries loaded on demand with the dynamic loader.
#include "platform/shared_library.h"

#include <dlfcn.h>

namespace varlo {

void* sharedLibrary(const char* fileName) { return dlopen(fileName, RTLD_NOW | RTLD_LOCAL); }

void* librarySymbol(void* library, const char* name) { return library ? dlsym(library, name) : nullptr; }

}  // namespace varlo
