// Splitting of a letter-to-sound rule line into its context, match and output.
#include "engines/rule_line.h"

#include "base/plain_text.h"

namespace varlo {

namespace {
constexpr size_t kContextLength = 5;
}

bool splitRuleLine(std::string_view line, RuleLineParts& parts) {
  size_t open = line.find('(');
  if (open == std::string_view::npos) return false;
  size_t close = line.find(')', open + 1);
  if (close == std::string_view::npos || close == open + 1) return false;
  size_t eq = line.find('=', close + 1);
  if (eq == std::string_view::npos) return false;
  std::string_view output = line.substr(eq + 1);
  size_t bar = output.find('|');
  parts.left = trimBlanks(line.substr(0, open)).substr(0, kContextLength);
  parts.match = line.substr(open + 1, close - open - 1).substr(0, kContextLength);
  parts.right = trimBlanks(line.substr(close + 1, eq - close - 1)).substr(0, kContextLength);
  parts.output = output.substr(0, bar);
  parts.commented = bar != std::string_view::npos;
  return true;
}

}  // namespace varlo
