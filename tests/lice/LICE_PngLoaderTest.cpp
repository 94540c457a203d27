#include "lice/LICE_PngLoader.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "lice/LiceTestSupport.h"
#include "resources/EditorImages.h"

namespace {

// Encodes a PNG in memory: rows of raw samples in the given format.
struct PngSpec {
  int width = 2, height = 2, bitDepth = 8, colourType = PNG_COLOR_TYPE_RGB;
  bool interlaced = false;
  std::vector<std::vector<unsigned char>> rows;
  std::vector<png_color> palette;
  std::vector<unsigned char> paletteAlpha;  // tRNS for palette images
  bool greyKey = false;                     // tRNS for grey images: key 0
};

void Append(png_structp png, png_bytep data, size_t length) {
  auto* out = static_cast<std::vector<unsigned char>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

std::vector<unsigned char> Encode(const PngSpec& request) {
  std::vector<unsigned char> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return {};
  }
  png_set_write_fn(png, &out, Append, nullptr);
  png_set_IHDR(png, info, request.width, request.height, request.bitDepth, request.colourType,
               request.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!request.palette.empty())
    png_set_PLTE(png, info, request.palette.data(), int(request.palette.size()));
  if (!request.paletteAlpha.empty()) {
    png_set_tRNS(png, info, request.paletteAlpha.data(), int(request.paletteAlpha.size()), nullptr);
  }
  if (request.greyKey) {
    png_color_16 key = {};
    png_set_tRNS(png, info, nullptr, 0, &key);
  }
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const auto& r : request.rows) rows.push_back(const_cast<png_bytep>(r.data()));
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

std::unique_ptr<LICE_MemBitmap> Decode(const std::vector<unsigned char>& bytes) {
  return std::unique_ptr<LICE_MemBitmap>(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()));
}

TEST(LicePngLoader, RgbBecomesOpaqueBgra) {
  PngSpec request;
  request.rows = {{10, 20, 30, 40, 50, 60}, {70, 80, 90, 100, 110, 120}};
  auto b = Decode(Encode(request));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->Width(), 2);
  EXPECT_EQ(b->Height(), 2);
  EXPECT_EQ(PixelAt(*b, 0, 0), LICE_RGBA(10, 20, 30, 255));
  EXPECT_EQ(PixelAt(*b, 1, 1), LICE_RGBA(100, 110, 120, 255));
  // In memory: blue, green, red, alpha.
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(b->Bits());
  EXPECT_EQ(bytes[0], 30);
  EXPECT_EQ(bytes[3], 255);
}

TEST(LicePngLoader, PaletteWithTransparencyLoadsTheTransparencyAsAlpha) {
  PngSpec request;
  request.colourType = PNG_COLOR_TYPE_PALETTE;
  request.palette = {{255, 0, 0}, {0, 0, 255}};
  request.paletteAlpha = {0, 200};
  request.rows = {{0, 1}, {1, 0}};
  auto b = Decode(Encode(request));
  ASSERT_TRUE(b);
  EXPECT_EQ(PixelAt(*b, 0, 0), LICE_RGBA(255, 0, 0, 0));
  EXPECT_EQ(PixelAt(*b, 1, 0), LICE_RGBA(0, 0, 255, 200));
}

TEST(LicePngLoader, GreyFormatsExpandToRgb) {
  PngSpec oneBit;
  oneBit.width = 3;
  oneBit.height = 1;
  oneBit.bitDepth = 1;
  oneBit.colourType = PNG_COLOR_TYPE_GRAY;
  oneBit.rows = {{0xA0}};  // 1, 0, 1
  auto b = Decode(Encode(oneBit));
  ASSERT_TRUE(b);
  EXPECT_EQ(PixelAt(*b, 0, 0), 0xFFFFFFFFu);
  EXPECT_EQ(PixelAt(*b, 1, 0), 0xFF000000u);

  PngSpec keyed = oneBit;
  keyed.greyKey = true;  // black is transparent
  b = Decode(Encode(keyed));
  ASSERT_TRUE(b);
  EXPECT_EQ(LICE_GETA(PixelAt(*b, 1, 0)), 0);
  EXPECT_EQ(PixelAt(*b, 2, 0), 0xFFFFFFFFu);

  PngSpec greyAlpha;
  greyAlpha.width = 1;
  greyAlpha.height = 1;
  greyAlpha.colourType = PNG_COLOR_TYPE_GRAY_ALPHA;
  greyAlpha.rows = {{77, 33}};
  b = Decode(Encode(greyAlpha));
  ASSERT_TRUE(b);
  EXPECT_EQ(PixelAt(*b, 0, 0), LICE_RGBA(77, 77, 77, 33));
}

TEST(LicePngLoader, SixteenBitRgbaIsReducedAndInterlacingIsHandled) {
  PngSpec request;
  request.width = 3;
  request.height = 3;
  request.bitDepth = 16;
  request.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
  request.interlaced = true;
  for (int y = 0; y < 3; ++y) {
    std::vector<unsigned char> row;
    for (int x = 0; x < 3; ++x) {
      const unsigned char v = static_cast<unsigned char>(x * 40 + y * 10);
      for (unsigned char s :
           {v, static_cast<unsigned char>(v + 1), static_cast<unsigned char>(v + 2),
            static_cast<unsigned char>(255 - v)}) {
        row.push_back(s);
        row.push_back(0x80);
      }
    }
    request.rows.push_back(row);
  }
  auto b = Decode(Encode(request));
  ASSERT_TRUE(b);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      const int v = x * 40 + y * 10;
      // 16 to 8 bits: libpng rounds (v * 256 + 128) to the nearest 8-bit value.
      const LICE_pixel p = PixelAt(*b, x, y);
      EXPECT_NEAR(LICE_GETR(p), v, 1) << x << "," << y;
      EXPECT_NEAR(LICE_GETB(p), v + 2, 1) << x << "," << y;
      EXPECT_NEAR(LICE_GETA(p), 255 - v, 1) << x << "," << y;
    }
  }
}

TEST(LicePngLoader, RejectsMissingShortForeignAndBrokenData) {
  PngSpec request;
  request.rows = {{10, 20, 30, 40, 50, 60}, {70, 80, 90, 100, 110, 120}};
  const std::vector<unsigned char> good = Encode(request);
  ASSERT_TRUE(Decode(good));

  EXPECT_EQ(LICE_LoadPNGFromMemory(nullptr, 100), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), 7), nullptr);
  const char notPng[] = "GIF89a, certainly not a PNG image";
  EXPECT_EQ(LICE_LoadPNGFromMemory(notPng, sizeof notPng), nullptr);
  // Only the signature and part of the header.
  EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), 20), nullptr);
  // Cut inside the image data.
  EXPECT_EQ(LICE_LoadPNGFromMemory(good.data(), good.size() - 20), nullptr);
  // A damaged header checksum.
  std::vector<unsigned char> damaged = good;
  damaged[29] ^= 0xFF;
  EXPECT_EQ(Decode(damaged), nullptr);
}

TEST(LicePngLoader, RefusesImagesTooLargeToBeReal) {
  PngSpec request;
  request.rows = {{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
  std::vector<unsigned char> bytes = Encode(request);
  // Claim 100000 x 100000 in the header and fix its checksum.
  const unsigned char huge[4] = {0x00, 0x01, 0x86, 0xA0};
  std::memcpy(&bytes[16], huge, 4);
  std::memcpy(&bytes[20], huge, 4);
  const uLong crc = crc32(crc32(0, nullptr, 0), &bytes[12], 17);
  for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<unsigned char>(crc >> (24 - 8 * i));
  EXPECT_EQ(Decode(bytes), nullptr);
}

// The editor's eight images, from this program's own resources (Windows) or
// the embedded tables (natively).
LICE_ModuleHandle ThisModule() {
#ifdef _WIN32
  return GetModuleHandleA(nullptr);
#else
  return nullptr;
#endif
}

TEST(LicePngResources, AllEditorImagesLoadWithTheirSizes) {
  struct Expected {
    int id, width, height;
  };
  const Expected images[] = {{100, 984, 432}, {101, 64, 4160}, {102, 64, 128}, {103, 42, 35},
                             {104, 68, 50},   {105, 68, 50},   {106, 12, 24},  {107, 26, 22}};
  for (const Expected& e : images) {
    std::unique_ptr<LICE_MemBitmap> b(LICE_LoadPNGFromResource(ThisModule(), e.id));
    ASSERT_TRUE(b) << "resource " << e.id;
    EXPECT_EQ(b->Width(), e.width) << "resource " << e.id;
    EXPECT_EQ(b->Height(), e.height) << "resource " << e.id;
  }
  EXPECT_EQ(LICE_LoadPNGFromResource(ThisModule(), 99), nullptr);
  EXPECT_EQ(LICE_LoadPNGFromResource(ThisModule(), 108), nullptr);
}

// The 150 % and 200 % sets, numbered and sized as resources/EditorImages.h says.
TEST(LicePngResources, ScaledEditorImagesLoadWithTheirSizes) {
  using namespace resources;
  for (int percent : {150, 200}) {
    for (int i = 0; i < kEditorImageCount; ++i) {
      const EditorImageShape& shape = kEditorImageShapes[i];
      const int id = EditorImageResourceId(EditorImage(i), percent);
      std::unique_ptr<LICE_MemBitmap> b(LICE_LoadPNGFromResource(ThisModule(), id));
      ASSERT_TRUE(b) << "resource " << id;
      EXPECT_EQ(b->Width(), EditorImageDevicePixels(shape.width, percent)) << "resource " << id;
      EXPECT_EQ(b->Height(), shape.frames * EditorImageDevicePixels(shape.frameHeight, percent))
          << "resource " << id;
    }
    // Nothing past the set's last image.
    EXPECT_EQ(LICE_LoadPNGFromResource(ThisModule(), percent + kEditorImageCount), nullptr);
  }
}

// Learn and unlearn have the same size at every scale; their lit frames tell
// them apart: orange and red, at (6, 12) in the second frame.
TEST(LicePngResources, LearnAndUnlearnPillsAreNotSwappedAtAnyScale) {
  using namespace resources;
  for (int percent : kEditorScalesPercent) {
    std::unique_ptr<LICE_MemBitmap> learn(LICE_LoadPNGFromResource(
        ThisModule(), EditorImageResourceId(EditorImage::kLearn, percent)));
    std::unique_ptr<LICE_MemBitmap> unlearn(LICE_LoadPNGFromResource(
        ThisModule(), EditorImageResourceId(EditorImage::kUnlearn, percent)));
    ASSERT_TRUE(learn && unlearn) << percent << " %";
    const int x = 6 * percent / 100;
    const int y = EditorImageDevicePixels(25, percent) + 12 * percent / 100;
    EXPECT_GT(LICE_GETG(PixelAt(*learn, x, y)), LICE_GETG(PixelAt(*unlearn, x, y)) + 40)
        << percent << " %";
  }
}

TEST(LicePngResources, ImagesHaveTheExpectedPixels) {
  std::unique_ptr<LICE_MemBitmap> back(LICE_LoadPNGFromResource(ThisModule(), 100));
  std::unique_ptr<LICE_MemBitmap> knob(LICE_LoadPNGFromResource(ThisModule(), 101));
  std::unique_ptr<LICE_MemBitmap> led(LICE_LoadPNGFromResource(ThisModule(), 106));
  std::unique_ptr<LICE_MemBitmap> marker(LICE_LoadPNGFromResource(ThisModule(), 107));
  ASSERT_TRUE(back && knob && led && marker);
  // The background is opaque everywhere.
  for (int y = 0; y < 432; y += 7)
    for (int x = 0; x < 984; x += 7)
      ASSERT_EQ(LICE_GETA(PixelAt(*back, x, y)), 255) << x << "," << y;
  // Knob frames: transparent corners, an opaque cap in the middle, and the lit
  // ring reaches the top (12 o'clock) only from the middle frame on.
  EXPECT_EQ(LICE_GETA(PixelAt(*knob, 0, 0)), 0);
  EXPECT_EQ(LICE_GETA(PixelAt(*knob, 32, 32 + 64 * 40)), 255);
  const LICE_pixel topFirst = PixelAt(*knob, 32, 4);
  const LICE_pixel topLast = PixelAt(*knob, 32, 64 * 64 + 4);
  EXPECT_GT(LICE_GETR(topLast), LICE_GETR(topFirst) + 60);
  // The lamp's second frame is lit.
  EXPECT_GT(LICE_GETR(PixelAt(*led, 6, 18)) + LICE_GETG(PixelAt(*led, 6, 18)),
            LICE_GETR(PixelAt(*led, 6, 6)) + LICE_GETG(PixelAt(*led, 6, 6)) + 150);
  // The marker is solid in its middle and clear at its corners.
  EXPECT_EQ(LICE_GETA(PixelAt(*marker, 13, 10)), 255);
  EXPECT_EQ(LICE_GETA(PixelAt(*marker, 0, 0)), 0);
}

#ifdef _WIN32
TEST(LicePngResources, AreStoredAsUsEnglishPngResources) {
  for (int percent : resources::kEditorScalesPercent) {
    for (int id = percent; id < percent + resources::kEditorImageCount; ++id) {
      EXPECT_NE(FindResourceExA(GetModuleHandleA(nullptr), "PNG", MAKEINTRESOURCEA(id),
                                MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
                nullptr)
          << "resource " << id;
    }
  }
}
#endif

}  // namespace
