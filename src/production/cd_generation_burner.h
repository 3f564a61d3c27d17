// The burner behind CD generation: the options of the `createcd` command
// (-r: recorder, -s: speed, -l: label, -eject, -v, source pattern) and the
// xorriso run that carries them out, burning to a recorder device or
// writing an ISO 9660 image (Joliet and Rock Ridge names) when the recorder
// is a path ending in ".iso".
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace varlo {

struct BurnRequest {
  std::string recorder;   // device path, drive letter or image path
  int speed = 0;          // 0: the drive's own choice
  std::string label;      // "" : the current date
  bool eject = false;
  bool verbose = false;   // show xorriso's progress
  std::string source;     // directory + "/" + mask, e.g. "/livros/*.*"
};

// Reads the command's arguments (without the program name). False with a
// Portuguese explanation in `error` when they do not make a request.
bool parseBurnArguments(const std::vector<std::string>& args, BurnRequest& request,
                        std::string& error);

// The recorder names an image file rather than a device.
bool isImagePath(std::string_view recorder);
// The device for a recorder: a drive letter ("E", "E:") means the first
// optical drive; anything else is used as given.
std::string recorderDevice(std::string_view recorder);

// Why the recorder cannot be written, in Portuguese, or "" when it can be
// tried: an image whose folder is missing or not writable, a device that
// does not exist.
std::string recorderProblem(std::string_view recorder);

// The files and directories the source pattern names, sorted by name:
// the directory part, then a mask where "*.*" and "*" take every entry and
// other masks match without regard to letter case. Hidden entries are left
// out. Empty when the directory cannot be read.
std::vector<std::string> sourceEntries(const std::string& pattern);

// The volume identifier: the label limited to the 32 bytes an ISO volume
// takes (never cutting a UTF-8 letter), or the date as "AAAA_MM_DD" when
// empty.
std::string volumeId(std::string_view label, std::string_view today);

// xorriso's arguments (without the program name) writing the entries to
// `output` (a device, or "stdio:" + a file path for an image).
std::vector<std::string> xorrisoArguments(const BurnRequest& request,
                                          const std::vector<std::string>& entries,
                                          const std::string& output,
                                          std::string_view today);

}  // namespace varlo
