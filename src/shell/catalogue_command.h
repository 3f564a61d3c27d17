// `varlo --catalogo ORIGEM DESTINO`: a whole folder of books converted,
// every core at work, or submitted to a Slurm cluster as a job array;
// `varlo --catalogo --estado DESTINO` tells how far it got. It works without
// the talking console: what it says goes to standard error, where the
// terminal's screen reader or the cluster's log file takes it.
#pragma once

#include <string>

namespace varlo {

// argv[0] is the "--catalogo..." word; `format` is what --formato gave
// (empty: the settings' FORMATOLIVRO). Ends the program.
[[noreturn]] void runCatalogueCommand(const std::string& format, int argc, char** argv);

}  // namespace varlo
