// Switching between the conversion voice and the voice of the menus.
#pragma once

#include "shell/app_state.h"

namespace varlo {

// Open the conversion voice of the state for live speech, once the speech
// under way has ended.
void selectConversionVoice(const AppState& state);
// Close the engines and start the front end again with its own settings.
void restoreMenuVoice();

}  // namespace varlo
