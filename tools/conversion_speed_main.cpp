// Converts one text of a project directory exactly as option C does, with
// no question asked, for bench/conversion_speed.sh:
//   conversion-speed PROJECT_DIR TEXT_NAME [mp3]
// The result goes to PROJECT_DIR/WAVMP3; the exit status is 0 when it is
// there.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "shell/conversion.h"
#include "production/conversion_text.h"
#include "console/console.h"
#include "frontends/front_end_choice.h"
#include "speech/speech.h"
#include "shell/app_state.h"

int main(int argc, char** argv) {
  using namespace varlo;
  if (argc < 3) {
    std::fprintf(stderr, "uso: conversion-speed DIRETORIO TEXTO [mp3]\n");
    return 2;
  }
  std::string project = argv[1], text = argv[2];
  bool mp3 = argc > 3 && std::string(argv[3]) == "mp3";
  if (chdir(project.c_str()) != 0) return 2;
  useFrontEnd();
  openConsole();
  initSpeech(0, "");
  AppState& s = appState();
  loadAppState(s);
  loadVoiceOnFirstUse(s);
  s.projectDirectory = project;
  s.announceFiles = "NAO";
  s.commandLineMode = true;
  s.mp3Output = mp3;
  s.selection = {text};
  convertSelection();
  AudioNames names = audioNames(text);
  std::string result = project + "/WAVMP3/" + (mp3 ? names.finalMp3Name : names.wavName);
  struct stat info;
  bool made = stat(result.c_str(), &info) == 0 && info.st_size > 44;
  shutdownSpeech();
  restoreTerminal();
  return made ? 0 : 1;
}
