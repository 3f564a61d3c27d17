// The project directory and the selection of files that conversion and
// division work through.
#pragma once

#include <string>

namespace varlo {

// Change into the directory, creating it when it does not exist; on failure
// three beeps and "- ERRO - Function TrocaDir".
bool TrocaDir(const std::string& directory);
// Fill the selection with the current directory's "*.TXT" (kind 'T'),
// "*.PAR" ('P') or all files ('*'), names printed as found. False when none.
bool listByKind(char kind);
// The file opens for reading.
bool fileCanBeOpened(const std::string& name);

}  // namespace varlo
