// The window front end: the console drawn in a desktop window (SDL2 with a
// TrueType font), with key releases for the braille keyboard, the
// magnifier's band and the background picture.
#pragma once

#include <string>

#include "console/console_front_end.h"

namespace varlo {

// Opens the window; null when it cannot be opened (no display, no font),
// with the reason in Portuguese.
const FrontEnd* openWindowFrontEnd(std::string& reason);

}  // namespace varlo
