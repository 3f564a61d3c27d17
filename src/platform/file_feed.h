// Copying a file that is still being written (a WAV the voice is recording)
// into a program's input pipe as it grows, from a thread of its own, so that
// the program works on the file while it is made.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

struct FileFeed;

// What goes into the pipe in place of the file's first bytes once they are
// written; an empty answer refuses the file, and the feed breaks.
using FeedHead = std::string (*)(std::string_view head);

// Follow `path` (which may not exist yet) into pipeFd, which the feed owns:
// the first headBytes bytes go through `head`, the rest as they are.
FileFeed* startFileFeed(const std::string& path, int pipeFd, size_t headBytes, FeedHead head);
// The file is complete: the rest is copied, then the pipe closed.
void completeFileFeed(FileFeed* feed);
// Stop copying at once, close the pipe and free the feed. True when the
// whole file had gone in: complete, and nothing cut under the feed, its
// head not refused, the program reading to the end.
bool endFileFeed(FileFeed* feed);

}  // namespace varlo
