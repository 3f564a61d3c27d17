// Main-menu options A (output settings, written to the [VARLO] section of
// the user's Murena.ini), V (adjust and test a voice) and T (read a text
// aloud with the configured voice).
#pragma once

#include <string>

namespace varlo {

void settingsDialog();
void voiceAdjust();
void voiceTest();

// The fields of the settings form as typed, and how they change the
// running program; split from the dialog so the rules can be tested.
struct SettingsFields {
  std::string punctuation, quality, cdDrive, audioSubdirectory;
  std::string announceFiles, withSilence, withEffect, writeHeader;
  int linesPerPart = 100;
  std::string useSapi;
  int sapiType = 3, sapiVoice = 1, sapiSpeed = 0, sapiPitch = 0;
  std::string encoderPath;
  std::string bookFormat, bookAuthor;   // MP3, DAISY or EPUB; the books' author
};
SettingsFields currentSettingsFields();
// Apply the typed fields to the program state (and the front end's
// punctuation switch), normalising them as they will be stored.
void applySettingsFields(SettingsFields& fields);
// Write the fields to the [VARLO] section of the user's settings file.
bool storeSettingsFields(const SettingsFields& fields);

}  // namespace varlo
