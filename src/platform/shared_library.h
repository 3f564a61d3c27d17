// Libraries loaded when first needed rather than at start-up, so that a
// program that never uses them does not pay for loading them and all they
// depend on.
#pragma once

namespace varlo {

// The library of that file name, loaded once and kept; null when it cannot
// be loaded.
void* sharedLibrary(const char* fileName);
// A function of a loaded library, or null.
void* librarySymbol(void* library, const char* name);

}  // namespace varlo
