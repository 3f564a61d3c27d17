// The compiled-in message table, in the order the program first uses the
// messages.
#pragma once

#include <cstddef>

namespace varlo {

struct MessageEntry {
  const char* key;
  const char* text;  // UTF-8
};

extern const MessageEntry kMessageTable[];
extern const size_t kMessageCount;

}  // namespace varlo
