// Start-up, the project-directory prompt and the main menu loop.
#pragma once

namespace varlo {

// The whole program: start-up, then the command-line job when a text file
// is named, else the directory prompt and the menu loop; ends in farewell.
[[noreturn]] void runVarlo(int argc, char** argv);

}  // namespace varlo
