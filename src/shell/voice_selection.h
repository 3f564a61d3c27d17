// Switching between the conversion voice and the voice of the menus.
#pragma once

#include "shell/app_state.h"

namespace varlo {

// Open the conversion voice of the state for live speech, once the speech
// under way has ended. A voice this system cannot open is replaced by the
// suite's configured voice, and the user is told (once until the menus'
// voice comes back).
void selectConversionVoice(const AppState& state);
// Close the engines and start the front end again with its own settings.
void restoreMenuVoice();

}  // namespace varlo
