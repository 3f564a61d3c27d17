// MCI command strings played through the sound layer: open, play, pause,
// resume, stop, seek, status and close of WAV and MP3 files, by alias or by
// file name. Times are in milliseconds. Texts are Windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

struct MciReply {
  int error = 0;      // 0, or an MCI-style error number
  std::string text;   // the command's result, or the error text
};

MciReply mciSendString(std::string_view command);
// Stops and closes every device (the interpreter reset, program end).
void mciCloseAll();

}  // namespace varlo
