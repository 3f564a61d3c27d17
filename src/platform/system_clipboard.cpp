// The desktop clipboard through wl-copy/wl-paste, xclip or xsel, each run
// with a time limit; the copying tools stay behind on their own to serve
// the text to other programs.
#include "platform/system_clipboard.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/process.h"

namespace varlo {

namespace {

constexpr int kToolTimeoutMs = 1500;

struct ClipboardTool {
  std::vector<std::string> copy, paste;
};

bool variableSet(const char* name) {
  const char* value = std::getenv(name);
  return value && *value;
}

bool installed(const char* program) { return !findProgram(program).empty(); }

std::optional<ClipboardTool> clipboardTool() {
  if (variableSet("WAYLAND_DISPLAY") && installed("wl-copy") && installed("wl-paste"))
    return ClipboardTool{{"wl-copy"}, {"wl-paste", "--no-newline"}};
  if (!variableSet("DISPLAY")) return std::nullopt;
  if (installed("xclip"))
    return ClipboardTool{{"xclip", "-selection", "clipboard", "-in"},
                         {"xclip", "-selection", "clipboard", "-out"}};
  if (installed("xsel"))
    return ClipboardTool{{"xsel", "--clipboard", "--input"}, {"xsel", "--clipboard", "--output"}};
  return std::nullopt;
}

}  // namespace

bool copyToSystemClipboard(std::string_view text) {
  std::optional<ClipboardTool> tool = clipboardTool();
  return tool && runProgramLimited(tool->copy, text, nullptr, kToolTimeoutMs, 0) == 0;
}

std::optional<std::string> pasteFromSystemClipboard(size_t limit) {
  std::optional<ClipboardTool> tool = clipboardTool();
  if (!tool) return std::nullopt;
  std::string text;
  int status = runProgramLimited(tool->paste, "", &text, kToolTimeoutMs, limit);
  bool cutShort = status == kProgramOverran && text.size() > limit;   // more than wanted
  if (status != 0 && !cutShort) return std::nullopt;
  text.resize(std::min(text.size(), limit));
  return text;
}

}  // namespace varlo
