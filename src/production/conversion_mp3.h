// Turning a rendered WAV file into MP3 with lame: the encoder is found
// ([VARLO] PROG_LAME, else the suite directory's lame, else lame on the
// PATH) and run in the background with the MP3 options in force and ID3
// tags.
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

// The encoder to run with its own parameters: [VARLO] PROG_LAME as a
// command (splitCommand), else the default below.
std::vector<std::string> lameCommand();
// The encoder when none is configured: the suite directory's lame when it
// is there, else lame on the PATH.
std::string defaultLamePath();
// lame's arguments: the MP3 options split at blanks, the tags, the WAV name
// and the MP3 name.
std::vector<std::string> lameArguments(const std::string& mp3Options, const Mp3Tags& tags,
                                       const std::string& wavName, const std::string& mp3Name);

enum class Mp3Result {
  encoded,      // finalMp3Name written, the WAV file deleted
  failed,       // the encoder ran but wrote no MP3: the WAV stays (said)
  notStarted,   // no encoder could be run: the WAV stays (not said)
};
// Encode wavName (in the current directory) into a scratch file named after
// mp3Name, which takes finalMp3Name only when the encoder succeeded; a
// program ended meanwhile leaves neither behind.
Mp3Result encodeMp3(const std::string& mp3Options, const Mp3Tags& tags,
                    const std::string& wavName, const std::string& mp3Name,
                    const std::string& finalMp3Name);

}  // namespace varlo
