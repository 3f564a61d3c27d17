// The size of a project: bytes, files and subdirectories, with the scaling
// the project report speaks.
#pragma once

#include <cstdint>
#include <string>

namespace varlo {

struct ProjectSize {
  uint64_t bytes = 0;
  int files = 0;
  int subdirectories = 0;
};

// Walk the directory recursively; names beginning with "." are neither
// counted nor entered. Unreadable subdirectories are skipped.
ProjectSize measureProject(const std::string& directory);

// Bytes scaled for speaking: above 65535 to "K", then "MB", dividing by 1024
// and rounding up when the remainder exceeds 512.
struct ScaledSize {
  uint64_t value;
  std::string unit;  // "", "K" or "MB"
};
ScaledSize scaleSize(uint64_t bytes);

// The directory is outer itself or lies inside it (links resolved).
bool isInside(const std::string& directory, const std::string& outer);

// Copy a directory tree into another, hidden files included, overwriting
// without asking. False when something could not be copied, or when the
// target lies inside the project itself.
bool copyProjectTree(const std::string& from, const std::string& to);

}  // namespace varlo
