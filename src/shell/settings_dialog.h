// Main-menu options A (output settings, written to the [VARLO] section of
// the user's Murena.ini), V (adjust and test a voice) and T (read a text
// aloud with the configured voice).
#pragma once

#include <string>
#include <vector>

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
  int progressSeconds = 30;   // [VARLO] AVISOPROGRESSO: progress said every so often, 0 never
  std::string useSapi;
  std::string sapiType;     // the conversion's engine, by name or type code
  int sapiVoice = 1, sapiSpeed = 0, sapiPitch = 0;
  std::string menuVoice;    // [TRADUTOR] SAPI: "MOTOR" (engine) or "GRAVADA" (recordings)
  std::string menuEngine;   // [SERVFALA] TIPOSAPI, by name or type code
  std::string encoderPath;
  std::string bookFormat, bookAuthor;   // MP3, DAISY or EPUB; the books' author
};
// An engine type by its name ("OLIRA", "SPEECH DISPATCHER", "ESPEAK-NG"),
// other codes as numbers; and back, from a name, its beginning or a code
// (fallback when neither).
std::string engineTypeName(int type);
int engineTypeCode(const std::string& field, int fallback);
// The changes of the program's own voice, one line each ("Motor do
// programa: OLIRA"), to be said.
std::vector<std::string> menuVoiceChanges(const SettingsFields& before, const SettingsFields& after);
SettingsFields currentSettingsFields();
// Apply the typed fields to the program state (and the front end's
// punctuation switch), normalising them as they will be stored.
void applySettingsFields(SettingsFields& fields);
// Write the fields to the [VARLO] section of the user's settings file.
bool storeSettingsFields(const SettingsFields& fields);

}  // namespace varlo
