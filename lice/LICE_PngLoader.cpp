#include "lice/LICE_PngLoader.h"

#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <new>

#include "lice/LICE_ResourceSource.h"

namespace {

constexpr png_uint_32 kMaxSidePx = 16384;
constexpr unsigned long long kMaxPixels = 1ull << 24;

struct MemoryReader {
  const unsigned char* data;
  size_t size;
  size_t position;
};

// Serves the remaining bytes; a request beyond the end is zero-filled, which
// libpng then rejects as a broken chunk.
void ReadFromMemory(png_structp png, png_bytep out, size_t length) {
  MemoryReader* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  size_t available = reader->size - reader->position;
  size_t served = length < available ? length : available;
  if (served) std::memcpy(out, reader->data + reader->position, served);
  if (served < length) std::memset(out + served, 0, length - served);
  reader->position += served;
}

// libpng's default handlers print; ours stay silent and jump back.
void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Requests the transformations that turn every format into rows of alpha, red,
// green, blue bytes.
void RequestArgbRows(png_structp png, png_infop info) {
  const int colourType = png_get_color_type(png, info);
  const int bitDepth = png_get_bit_depth(png, info);
  const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
  if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colourType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (hasTransparency) png_set_tRNS_to_alpha(png);
  if (bitDepth == 16) png_set_strip_16(png);
  if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  if ((colourType & PNG_COLOR_MASK_ALPHA) || hasTransparency) {
    png_set_swap_alpha(png);
  } else {
    png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
  }
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
}

// The part between setjmp and the jump holds no object with a destructor:
// longjmp would skip it. What must be freed after a jump is reached through
// the volatile pointers of the caller's frame.
struct DecodeState {
  LICE_MemBitmap* volatile bitmap = nullptr;
  png_bytep* volatile rows = nullptr;
};

bool Decode(png_structp png, png_infop info, DecodeState* state) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  if (width == 0 || height == 0 || width > kMaxSidePx || height > kMaxSidePx ||
      static_cast<unsigned long long>(width) * height > kMaxPixels) {
    return false;
  }
  RequestArgbRows(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(width) * 4) return false;

  state->bitmap =
      new (std::nothrow) LICE_MemBitmap(static_cast<int>(width), static_cast<int>(height));
  LICE_MemBitmap* bitmap = state->bitmap;
  if (!bitmap) return false;
  if (bitmap->Width() != static_cast<int>(width) || bitmap->Height() != static_cast<int>(height))
    return false;
  state->rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
  if (!state->rows) return false;
  LICE_pixel* bits = bitmap->Bits();
  const int span = bitmap->RowSpan();
  for (png_uint_32 y = 0; y < height; ++y)
    state->rows[y] = reinterpret_cast<png_bytep>(bits + y * span);
  png_read_image(png, state->rows);

  // Rows now hold A, R, G, B bytes; the bitmap wants B, G, R, A.
  for (png_uint_32 y = 0; y < height; ++y) {
    unsigned char* p = state->rows[y];
    for (png_uint_32 x = 0; x < width; ++x, p += 4) {
      const unsigned char a = p[0], r = p[1], g = p[2], b = p[3];
      p[0] = b;
      p[1] = g;
      p[2] = r;
      p[3] = a;
    }
  }
  return true;
}

}  // namespace

LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, size_t sizeBytes) {
  if (!data || sizeBytes < 8) return nullptr;
  if (png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0) return nullptr;
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  MemoryReader reader{static_cast<const unsigned char*>(data), sizeBytes, 0};
  png_set_read_fn(png, &reader, ReadFromMemory);
  png_set_user_limits(png, kMaxSidePx, kMaxSidePx);

  DecodeState state;
  const bool decoded = Decode(png, info, &state);
  png_destroy_read_struct(&png, &info, nullptr);
  std::free(state.rows);
  LICE_MemBitmap* bitmap = state.bitmap;
  if (!decoded) {
    delete bitmap;
    return nullptr;
  }
  return bitmap;
}

LICE_MemBitmap* LICE_LoadPNGFromResource(LICE_ModuleHandle module, int id) {
  const unsigned char* data = nullptr;
  size_t sizeBytes = 0;
  if (!LICE_ResourceSource::Find(module, id, "PNG", &data, &sizeBytes)) return nullptr;
  return LICE_LoadPNGFromMemory(data, sizeBytes);
}
