// Short Portuguese words for the system errors that users of the device
// commands meet, shown under the command's own message.
#pragma once

#include <string>

namespace varlo {

// The text for an errno value (the system's own words for rare ones).
std::string errorText(int error);

}  // namespace varlo
