// IMAGEM: a picture file shown over the console window's text at a place.
// JPEG files are decoded first; anything else is read as a bitmap file.
#include <cctype>

#include "console/background_image.h"
#include "platform/jpeg_image.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_operands.h"
#include "script/interp.h"

namespace varlo {

namespace {

bool endsWithNoCase(std::string_view text, std::string_view end) {
  if (text.size() < end.size()) return false;
  for (size_t i = 0; i < end.size(); ++i) {
    auto c = static_cast<unsigned char>(text[text.size() - end.size() + i]);
    if (std::toupper(c) != end[i]) return false;
  }
  return true;
}

bool isJpeg(std::string_view name) { return endsWithNoCase(name, ".JPG") || endsWithNoCase(name, ".JPEG"); }

// The picture replaces the one shown only when it could be read.
bool showImageFile(const std::string& name) {
  std::string path = scriptFilePath(name, true);
  if (!isJpeg(name)) return showBitmap(path);
  Picture picture;
  if (!decodeJpegFile(path, picture)) return false;
  showPicture(std::move(picture));
  return true;
}

}  // namespace

// IMAGEM name x y
bool cmdImage() {
  std::string name;
  if (!readString(name, false) || name.empty()) return failLine(cp("Esperava nome de arquivo"));
  int32_t x = 0, y = 0;
  if (!readInteger(x, false) || !readInteger(y, false))
    return failLine(cp("Esperava expressões numéricas para as coordenadas X e Y"));
  if (!showImageFile(name)) return failLine(cp("Imagem inválida ou não encontrada"));
  drawBitmapAt(x, y);
  return true;
}

}  // namespace varlo
