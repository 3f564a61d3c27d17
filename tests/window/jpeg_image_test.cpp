// JPEG files read into pictures, and the files that must be refused: cut
// short, not a JPEG at all, missing.
#include "platform/jpeg_image.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace varlo {
namespace {

// A JPEG of one colour made with the library's own encoder.
std::string solidJpeg(int width, int height, uint8_t r, uint8_t g, uint8_t b) {
  jpeg_compress_struct info{};
  jpeg_error_mgr errors{};
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(width);
  info.image_height = static_cast<JDIMENSION>(height);
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  for (int x = 0; x < width; ++x) {
    row[x * 3] = r;
    row[x * 3 + 1] = g;
    row[x * 3 + 2] = b;
  }
  while (info.next_scanline < info.image_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&info, rows, 1);
  }
  jpeg_finish_compress(&info);
  std::string bytes(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&info);
  std::free(buffer);
  return bytes;
}

class JpegFile : public ::testing::Test {
 protected:
  std::filesystem::path dir = std::filesystem::temp_directory_path() /
                              ("varlo-jpeg-" + std::to_string(::getpid()));
  void SetUp() override { std::filesystem::create_directories(dir); }
  void TearDown() override { std::filesystem::remove_all(dir); }
  std::string file(const std::string& name, const std::string& bytes) {
    std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
};

TEST_F(JpegFile, ReadsSizeAndColours) {
  Picture p;
  ASSERT_TRUE(decodeJpegFile(file("azul.jpg", solidJpeg(17, 9, 20, 40, 200)), p));
  EXPECT_EQ(p.width, 17);
  EXPECT_EQ(p.height, 9);
  ASSERT_EQ(p.rgb.size(), 17u * 9u * 3u);
  EXPECT_NEAR(p.rgb[0], 20, 6);
  EXPECT_NEAR(p.rgb[1], 40, 6);
  EXPECT_NEAR(p.rgb[2], 200, 6);
}

TEST_F(JpegFile, RefusesDamagedFilesAndKeepsThePicture) {
  Picture p;
  ASSERT_TRUE(decodeJpegFile(file("bom.jpg", solidJpeg(8, 8, 255, 0, 0)), p));
  std::string whole = solidJpeg(64, 64, 0, 255, 0);
  EXPECT_FALSE(decodeJpegFile(file("cortado.jpg", whole.substr(0, whole.size() / 2)), p));
  EXPECT_FALSE(decodeJpegFile(file("cabecalho.jpg", whole.substr(0, 20)), p));
  EXPECT_FALSE(decodeJpegFile(file("texto.jpg", "isto não é uma imagem"), p));
  EXPECT_FALSE(decodeJpegFile(file("vazio.jpg", ""), p));
  EXPECT_FALSE(decodeJpegFile((dir / "nada.jpg").string(), p));
  EXPECT_EQ(p.width, 8) << "the last good picture is kept";
}

}  // namespace
}  // namespace varlo
