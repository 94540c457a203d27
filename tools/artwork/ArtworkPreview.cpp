// Composes the editor as the graphics host would draw it, from the generated
// PNG files and with the drawing layer's own blits and lines, and writes the
// picture to a PNG file. Used to judge the artwork; not part of the product.
//
// Usage: quillet_artwork_preview IMAGE_DIR OUTPUT.png [--scale S]
// With --scale the images are those of that scale (resources/img/150 for 1.5)
// and every position is the layout's logical one times S, rounded.

#include <png.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "lice/LICE_Blit.h"
#include "lice/LICE_FillRect.h"
#include "lice/LICE_Line.h"
#include "lice/LICE_PngLoader.h"

namespace {

// Device pixels per logical pixel of the picture.
double gScale = 1.0;
int Device(double logical) { return int(std::lround(logical * gScale)); }

std::unique_ptr<LICE_MemBitmap> Load(const std::string& dir, const char* name) {
  FILE* f = std::fopen((dir + "/" + name).c_str(), "rb");
  if (!f) return nullptr;
  std::vector<unsigned char> bytes;
  unsigned char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return std::unique_ptr<LICE_MemBitmap>(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()));
}

// (x, y) logical.
void Frame(LICE_IBitmap* dest, LICE_IBitmap* strip, int frames, int frame, int x, int y) {
  const int h = strip->Height() / frames;
  LICE_Blit(dest, strip, Device(x), Device(y), 0, frame * h, strip->Width(), h, 1.0f,
            LICE_BLIT_USE_ALPHA);
}

// The envelope display's curve, as the maker's control draws it (the rectangle
// in device pixels).
void Envelope(LICE_IBitmap* dest, int left, int top, int right, int bottom, double fi, double sk,
              double fo) {
  auto curvature = [](double f) {
    return f <= 0.5 ? std::pow(2.0, 4 * (1 - 2 * f)) : std::pow(2.0, 4 * (0.5 - f));
  };
  const double a = curvature(fi), b = curvature(fo);
  const int w = right - left;
  const double h = (bottom - top) * 0.9, step = 1.0 / w;
  double px = left, py = bottom, t = 0;
  const LICE_pixel colour = LICE_RGBA(176, 128, 112, 128);
  for (int i = 0; i < w - 1; ++i, t += step) {
    double level;
    if ((t < sk && fi <= 0) || (t >= sk && fo <= 0))
      level = 1;
    else if (t < sk)
      level = 1 - std::pow(1 - t / sk, a);
    else
      level = 1 - std::pow((t - sk) / (1 - sk), b);
    const double x = left + i, y = bottom - level * h;
    LICE_Line(dest, int(px), int(py), int(x), int(y), colour, 0.5f,
              LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA);
    px = x;
    py = y;
  }
  LICE_Line(dest, int(px), int(py), right, bottom, colour, 0.5f,
            LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA);
}

bool WritePng(LICE_IBitmap* bitmap, const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, bitmap->Width(), bitmap->Height(), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<unsigned char> row(size_t(bitmap->Width()) * 3);
  for (int y = 0; y < bitmap->Height(); ++y) {
    const LICE_pixel* p = bitmap->Bits() + y * bitmap->RowSpan();
    for (int x = 0; x < bitmap->Width(); ++x) {
      row[x * 3] = static_cast<unsigned char>(LICE_GETR(p[x]));
      row[x * 3 + 1] = static_cast<unsigned char>(LICE_GETG(p[x]));
      row[x * 3 + 2] = static_cast<unsigned char>(LICE_GETB(p[x]));
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[3]) == "--scale") gScale = std::atof(argv[4]);
  if ((argc != 3 && argc != 5) || !(gScale >= 0.5 && gScale <= 4)) {
    std::fprintf(stderr, "usage: %s IMAGE_DIR OUTPUT.png [--scale S]\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[1];
  auto back = Load(dir, "back.png");
  auto knob = Load(dir, "knob.png");
  auto sw = Load(dir, "switch.png");
  auto handle = Load(dir, "handle.png");
  auto learn = Load(dir, "learn.png");
  auto led = Load(dir, "led.png");
  auto triangle = Load(dir, "triangle.png");
  if (!back || !knob || !sw || !handle || !learn || !led || !triangle) {
    std::fprintf(stderr, "missing or broken images in %s\n", dir.c_str());
    return 1;
  }
  LICE_MemBitmap editor(Device(984), Device(432));
  LICE_Blit(&editor, back.get(), 0, 0, 1.0f, LICE_BLIT_MODE_COPY);
  struct Knob {
    int x, y;
    double value;
  };
  const Knob knobs[] = {{30, 166, 0.8},  {30, 286, 1.0},  {338, 102, 0.3},  {218, 286, 0.5},
                        {290, 286, 0.5}, {362, 286, 0.5}, {674, 102, 0.0},  {554, 286, 0.1},
                        {626, 286, 0.3}, {698, 286, 0.8}, {806, 166, 0.05}, {894, 166, 0.4},
                        {806, 286, 0.7}, {894, 286, 0.25}};
  for (const Knob& k : knobs) Frame(&editor, knob.get(), 65, int(k.value * 64 + 0.5), k.x, k.y);
  Frame(&editor, handle.get(), 1, 0, 152, 136 + int((192 - 35) * (1 - 0.6)));
  Frame(&editor, handle.get(), 1, 0, 488, 136 + int((192 - 35) * (1 - 0.25)));
  Frame(&editor, sw.get(), 2, 1, 578, 102);
  Frame(&editor, learn.get(), 2, 0, 29, 387);
  Frame(&editor, led.get(), 2, 1, 816, 28);
  Frame(&editor, triangle.get(), 1, 0, 137, 26);
  Envelope(&editor, Device(250), Device(189), Device(392), Device(271), 0.5, 0.5, 0.5);
  Envelope(&editor, Device(586), Device(189), Device(728), Device(271), 0.1, 0.3, 0.8);
  // The option menu's hover veil.
  LICE_FillRect(&editor, Device(16), Device(24), Device(92), Device(112),
                LICE_RGBA(255, 255, 255, 64), 1.0f, LICE_BLIT_USE_ALPHA);
  return WritePng(&editor, argv[2]) ? 0 : 1;
}
