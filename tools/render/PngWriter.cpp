#include "tools/render/PngWriter.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include "tools/render/ByteFile.h"

namespace render {

namespace {

// libpng reports errors by longjmp; nothing with a destructor may live
// between setjmp and the calls that can jump, so the rows are prepared first.
bool writeRows(std::FILE* file, int width, int height, std::vector<png_bytep>* rows) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return false;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_write_image(png, rows->data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

bool writePng(const std::string& path, LICE_IBitmap* bitmap, std::string* errorText) {
  const int width = bitmap->Width(), height = bitmap->Height();
  const LICE_pixel* bits = bitmap->Bits();
  if (bits == nullptr || width <= 0 || height <= 0) {
    *errorText = "empty picture";
    return false;
  }
  std::vector<png_byte> pixels(static_cast<std::size_t>(width) * height * 3);
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    const LICE_pixel* source = bits + static_cast<std::size_t>(y) * bitmap->RowSpan();
    png_bytep row = &pixels[static_cast<std::size_t>(y) * width * 3];
    rows[static_cast<std::size_t>(y)] = row;
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<png_byte>(LICE_GETR(source[x]));
      row[x * 3 + 1] = static_cast<png_byte>(LICE_GETG(source[x]));
      row[x * 3 + 2] = static_cast<png_byte>(LICE_GETB(source[x]));
    }
  }
  return ByteFile::writeThrough(
      path, [&](std::FILE* file) { return writeRows(file, width, height, &rows); },
      "cannot write the PNG", errorText);
}

}  // namespace render
