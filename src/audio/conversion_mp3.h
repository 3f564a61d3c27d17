// Turning a rendered WAV file into MP3 with lame: the encoder is found
// ([VARLO] PROG_LAME, else the suite directory's lame, else lame on the
// PATH), started in the background with the MP3 options in force and ID3
// tags, and finished while the next text renders.
#pragma once

#include <string>
#include <vector>

namespace varlo {

// ID3 tags that let players list the parts in order.
struct Mp3Tags {
  std::string title;   // UTF-8
  std::string album;   // UTF-8
  int track = 0;       // 0: none
};

// The encoder program to run.
std::string lamePath();
// lame's arguments: the MP3 options split at blanks, the tags, the WAV name
// and the MP3 name.
std::vector<std::string> lameArguments(const std::string& mp3Options, const Mp3Tags& tags,
                                       const std::string& wavName, const std::string& mp3Name);

// Start encoding wavName (in the current directory) into mp3Name, finishing
// any encoding still running first. False when the encoder cannot be
// started; the WAV file then stays.
bool startMp3(const std::string& mp3Options, const Mp3Tags& tags, const std::string& wavName,
              const std::string& mp3Name, const std::string& finalMp3Name);
// Wait for the encoding in progress, if any. When it produced its MP3, the
// MP3 takes its final name and the WAV file is deleted; otherwise the WAV
// stays and the user is told.
void finishMp3();

}  // namespace varlo
