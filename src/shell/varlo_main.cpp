// VARLO KET: turns a directory of text books into spoken audio, talking all
// the way. A first parameter naming a text file runs the one-shot job.
#include "shell/main_menu.h"

int main(int argc, char** argv) { varlo::runVarlo(argc, argv); }
