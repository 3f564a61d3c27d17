// Progress of a text being recorded by the conversion: how far it got is
// said at the interval the user set ([VARLO] AVISOPROGRESSO seconds, 30 when
// missing, 0 never) as the part, the percent and the time left; a key
// pressed meanwhile is answered between two phrases with the pause.
#pragma once

#include <cstdint>
#include <string>

namespace varlo {

constexpr int kDefaultProgressSeconds = 30;

// The text about to be converted is the part-th of parts.
void setProgressPart(int part, int parts);
// Its recording begins: textBytes long, recorded into wavPath (removed when
// the user cancels the conversion during the recording).
void startProgress(uint64_t textBytes, const std::string& wavPath);
// Bytes of the text handed to the voice so far grow by this many.
void countProgress(uint64_t bytes);
// Between two phrases of the recording.
void progressBetweenRequests();
// "Parte 2 de 3: 40 por cento, faltam 1 minuto e 5 segundos"
std::string progressText(int part, int parts, uint64_t done, uint64_t total, double elapsedSeconds);

}  // namespace varlo
