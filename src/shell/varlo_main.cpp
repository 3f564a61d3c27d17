// VARLO KET: turns a directory of text books into spoken audio, talking all
// the way. A first parameter naming a text file runs the one-shot job.
#include "frontends/braille_display.h"
#include "frontends/front_end_choice.h"
#include "shell/main_menu.h"

int main(int argc, char** argv) {
  varlo::useFrontEnd();
  varlo::applyBrailleSettings();
  varlo::runVarlo(argc, argv);
}
