// IMAGEM: a picture file shown over the console window's text at a place.
// JPEG files are decoded first; anything else is read as a bitmap file.
#include "base/plain_text.h"
#include "console/background_image.h"
#include "platform/jpeg_image.h"
#include "script/cmd_descriptors.h"
#include "script/cmd_operands.h"
#include "script/interp.h"

namespace varlo {

namespace {

bool isJpeg(std::string_view name) {
  std::string upper = upperAscii(name);
  return upper.ends_with(".JPG") || upper.ends_with(".JPEG");
}

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
