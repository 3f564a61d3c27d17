// The tone generator: a square wave played over and over until stopped.
#pragma once

namespace varlo {

// Starts a looping square wave of the frequency (Hz), replacing any tone.
void startTone(int frequency);
// Ends the tone only; other sound plays on.
void stopTone();

}  // namespace varlo
