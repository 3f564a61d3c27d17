// Finding and sizing the window's font: a face name is looked for among the
// installed font files by its name without spaces ("DejaVu Sans Mono" is
// DejaVuSansMono.ttf); the default is the monospaced DejaVu face.
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "frontends/window_state.h"

namespace varlo {

namespace {

namespace fs = std::filesystem;

constexpr const char* kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

std::string squeezed(std::string_view name) {
  std::string out;
  for (char c : name)
    if (std::isalnum(static_cast<unsigned char>(c))) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string findInstalled(std::string_view face) {
  std::string wanted = squeezed(face);
  if (wanted.empty()) return "";
  std::string dirs[] = {"/usr/share/fonts", "/usr/local/share/fonts",
                        std::string(std::getenv("HOME") ? std::getenv("HOME") : "") + "/.local/share/fonts"};
  for (const std::string& dir : dirs) {
    std::error_code error;
    for (fs::recursive_directory_iterator it(dir, error), end; !error && it != end; it.increment(error)) {
      const fs::path& path = it->path();
      std::string ext = path.extension().string();
      if ((ext == ".ttf" || ext == ".otf" || ext == ".TTF") && squeezed(path.stem().string()) == wanted)
        return path.string();
    }
  }
  return "";
}

}  // namespace

std::string fontFileFor(std::string_view face) {
  std::error_code error;
  if (!face.empty() && fs::is_regular_file(fs::path(face), error)) return std::string(face);
  std::string installed = findInstalled(face);
  if (!installed.empty()) return installed;
  return fs::is_regular_file(kDefaultFont, error) ? kDefaultFont : "";
}

TTF_Font* openFontForCell(const std::string& file, int cellHeight, int& size) {
  size = std::max(cellHeight, 4);
  for (int tries = 0; tries < 8; ++tries) {
    TTF_Font* font = TTF_OpenFont(file.c_str(), size);
    if (!font) return nullptr;
    int height = TTF_FontHeight(font);
    if (height <= cellHeight || size <= 4) return font;
    TTF_CloseFont(font);
    size = std::max(4, size * cellHeight / height - (tries > 2 ? 1 : 0));
  }
  return TTF_OpenFont(file.c_str(), size);
}

}  // namespace varlo
