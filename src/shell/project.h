// The project directory and the selection of files that conversion and
// division work through.
#pragma once

#include <string>
#include <string_view>

namespace varlo {

// Change into the directory, creating it when it does not exist; on failure
// three beeps and "- ERRO - Function TrocaDir".
bool TrocaDir(const std::string& directory);
// A directory as typed made into a full path: a leading "~" is the home
// directory, a relative path is taken from the current directory. The
// project is entered by its full path, so that files named from it are
// found wherever the program changes to.
std::string fullDirectoryPath(const std::string& typed);
// Fill the selection with the current directory's "*.TXT" (kind 'T'),
// "*.PAR" ('P') or all files ('*') whose names begin with the prefix, names
// printed as found. False when none.
bool listByKind(char kind, std::string_view prefix = {});
// Look at the current directory again after the program found neither
// texts nor parts in it (files may have been copied in since): the flags
// noTextFiles and noPartFiles are set from what is there now and the
// selection takes the texts, else the parts, as at the start. True when
// the selection was filled so.
bool recheckEmptyProject();
// Say the message, open the file chooser with the mask in ten rows below the
// cursor and print the choice on its own line; "" when none was chosen. The
// files of sharedDirectory follow the current directory's, marked so.
std::string chooseListedFile(std::string_view messageKey, std::string_view mask,
                             std::string_view sharedDirectory = {}, std::string_view sharedMark = {});
// The file opens for reading.
bool fileCanBeOpened(const std::string& name);

}  // namespace varlo
