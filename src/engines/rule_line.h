// The parts of a letter-to-sound rule line, "left(match)right=output|comment",
// as both the Olira voice and the suite voice's translator write them.
#pragma once

#include <string_view>

namespace varlo {

struct RuleLineParts {
  std::string_view left;    // blanks trimmed, at most 5 characters
  std::string_view match;   // as written, 1 to 5 characters
  std::string_view right;   // blanks trimmed, at most 5 characters
  std::string_view output;  // everything after '=' up to a '|', untrimmed
  bool commented = false;   // a '|' ended the output
};

// False when the line has no "(...)" with something inside or no '=' after
// it. Each voice trims and cuts the output its own way.
bool splitRuleLine(std::string_view line, RuleLineParts& parts);

}  // namespace varlo
