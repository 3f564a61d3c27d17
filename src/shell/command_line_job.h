// The one-shot job of `varlo livro.txt`: divide the text every [VARLO]
// QUEBRARLINHA lines (100 by default), convert every part to MP3, and end
// the program, asking nothing.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

[[noreturn]] void runCommandLineJob(const std::string& textFile);

// Lines per part from the QUEBRARLINHA value: a positive integer, else 100.
int linesPerPartSetting(std::string_view value);

}  // namespace varlo
