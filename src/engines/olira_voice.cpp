// The Olira front end as one piece: loading its five data files and chaining
// the stages from text to synthesizer phoneme lines.
#include "engines/olira_voice.h"

#include "base/codepage.h"
#include "engines/olira_phonemes.h"
#include "engines/olira_preprocess.h"
#include "engines/olira_prosody.h"
#include "engines/olira_rules.h"

namespace varlo {

namespace {

std::string missing(const char* what, const std::string& path) {
  return utf8ToCp1252(what) + path;
}

}  // namespace

OliraDataFiles oliraFilesAt(std::string directory, std::string_view base) {
  if (!directory.empty() && directory.back() != '/') directory += '/';
  std::string stem = directory + std::string(base);
  return {stem + ".nrl", stem + ".exc", stem + ".abr", stem + ".pro", stem + ".dfn"};
}

bool loadVoiceData(const OliraDataFiles& files, std::string& message) {
  message.clear();
  releaseVoiceData();
  if (!loadRules(files.rules, files.exceptions)) {
    message = ruleLoadError();
    return false;
  }
  if (!loadAbbreviations(files.abbreviations)) {
    message = missing("Arquivo de abreviaturas não foi achado: ", files.abbreviations);
    return false;
  }
  if (!loadProsody(files.prosody, message)) return false;
  if (!loadDiphones(files.diphones)) {
    message = missing("Lista de difones não foi achada: ", files.diphones);
    return false;
  }
  return true;
}

void releaseVoiceData() {
  releaseRules();
  releaseDiphones();
}

std::vector<std::string> letterToSoundLines(std::string_view text) {
  return convertTokens(intonationCodes(tokenize(preprocess(text))));
}

std::vector<std::string> textToPhonemeLines(std::string_view text, double durationFactor,
                                            double pitchFactor) {
  return phonemeLines(letterToSoundLines(text), durationFactor, pitchFactor);
}

}  // namespace varlo
