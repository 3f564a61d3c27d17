// Portuguese texts for the common system errors of devices and sockets.
#include "platform/error_text.h"

#include <cerrno>
#include <cstring>

namespace varlo {

std::string errorText(int error) {
  switch (error) {
    case ENOENT: return "não existe";
    case ENODEV:
    case ENXIO: return "dispositivo inexistente";
    case EACCES:
    case EPERM: return "acesso negado";
    case EBUSY: return "dispositivo ocupado";
    case ECONNREFUSED: return "conexão recusada";
    case ECONNRESET: return "conexão interrompida pelo outro lado";
    case ETIMEDOUT: return "tempo esgotado";
    case ENETUNREACH:
    case EHOSTUNREACH: return "endereço inalcançável";
    case EADDRINUSE: return "porta já em uso";
    default: return std::strerror(error);
  }
}

}  // namespace varlo
