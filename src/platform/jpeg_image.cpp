// JPEG decoding with libjpeg: errors come back through a long jump, and a
// file that ends early counts as unreadable rather than half a picture.
#include "platform/jpeg_image.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "base/regular_file.h"

namespace varlo {

namespace {

struct ErrorTrap {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  bool cutShort = false;
};

[[noreturn]] void onError(j_common_ptr info) {
  std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

void onMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<ErrorTrap*>(info->err)->cutShort = true;
}

void silent(j_common_ptr) {}

// Runs the decoder into a picture the caller owns, so that a long jump skips
// no destructor; the caller's jpeg_destroy_decompress releases the rest.
bool decode(jpeg_decompress_struct& info, ErrorTrap& trap, FILE* file, Picture& result) {
  if (setjmp(trap.jump)) return false;
  jpeg_create_decompress(&info);
  jpeg_stdio_src(&info, file);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  if (info.image_width == 0 || info.image_height == 0 ||
      info.image_width > static_cast<unsigned>(kPictureSideLimit) ||
      info.image_height > static_cast<unsigned>(kPictureSideLimit) ||
      static_cast<int64_t>(info.image_width) * info.image_height > kPictureAreaLimit)
    return false;
  jpeg_start_decompress(&info);
  result.width = static_cast<int>(info.output_width);
  result.height = static_cast<int>(info.output_height);
  size_t rowBytes = static_cast<size_t>(result.width) * 3;
  result.rgb.resize(rowBytes * static_cast<size_t>(result.height));
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = result.rgb.data() + rowBytes * info.output_scanline;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return !trap.cutShort && info.output_components == 3;
}

}  // namespace

bool decodeJpegFile(std::string_view path, Picture& picture) {
  FILE* file = openRegularFile(std::string(path), "rb");
  if (!file) return false;
  jpeg_decompress_struct info{};
  ErrorTrap trap;
  info.err = jpeg_std_error(&trap.manager);
  trap.manager.error_exit = onError;
  trap.manager.emit_message = onMessage;
  trap.manager.output_message = silent;
  Picture result;
  bool ok = decode(info, trap, file, result);
  jpeg_destroy_decompress(&info);
  std::fclose(file);
  if (ok) picture = std::move(result);
  return ok;
}

}  // namespace varlo
