// The MP3 encoder's command: the encoder is found ([VARLO] PROG_LAME, else
// the suite directory's lame, else lame on the PATH) and given the MP3
// options in force, ID3 tags and the two file names.
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
// ("-": the WAV comes on the standard input) and the MP3 name.
std::vector<std::string> lameArguments(const std::string& mp3Options, const Mp3Tags& tags,
                                       const std::string& wavName, const std::string& mp3Name);

}  // namespace varlo
