// Which front end draws the console in this run.
#pragma once

namespace varlo {

// Programs call this before the console is first used: VARLO_CONSOLE=headless
// forces the in-memory front end; otherwise a terminal on stdin and stdout
// gets the terminal front end, and anything else the headless one.
// VARLO_CONSOLE=window, or [VIDEO] JANELA=SIM, opens a desktop window when
// a display is there.
void useFrontEnd();

}  // namespace varlo
