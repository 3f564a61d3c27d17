// Start-up shared by the fuzz targets that run the script interpreter: the
// headless console without sound, output discarded, small value limits so
// that memory stays bounded.
#pragma once

#include <cstdlib>
#include <string_view>

#include "console/console.h"
#include "script/interp.h"
#include "script/output.h"

namespace varlo::fuzz {

inline void discardOutput(std::string_view, bool, bool) {}

inline void startQuietInterpreter() {
  setenv("VARLO_CONSOLE", "headless", 1);
  setenv("VARLO_AUDIO", "null", 1);
  openConsole();
  setOutputSink(discardOutput);
  setValueLimits({size_t(1) << 16, size_t(1) << 20});
}

}  // namespace varlo::fuzz
