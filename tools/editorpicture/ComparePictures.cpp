// quillet-compare-pictures: compares a picture of the editor with the artwork
// preview's picture of the same size, pixel by pixel.
//
//   quillet-compare-pictures A.png B.png [--scale S] [--ignore L,T,R,B]...
//                            [--tolerance N] [--diff OUT.png]
//
// --ignore leaves out a rectangle given in logical pixels (times --scale in
// the pictures): the texts the editor draws and the preview does not. A pixel
// differs when a colour channel differs by more than --tolerance (0). Prints
// the counts; exit status 0 when no pixel outside the ignored rectangles
// differs, 1 when some do, 2 for pictures that cannot be read or differ in
// size. --diff writes the differing pixels in red over a dimmed A.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_PngLoader.h"
#include "tools/render/PngWriter.h"

namespace {

struct Box {
  int left, top, right, bottom;
};

std::unique_ptr<LICE_MemBitmap> Load(const std::string& path) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return nullptr;
  std::vector<unsigned char> bytes;
  unsigned char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    bytes.insert(bytes.end(), buffer, buffer + n);
  std::fclose(f);
  return std::unique_ptr<LICE_MemBitmap>(LICE_LoadPNGFromMemory(bytes.data(), bytes.size()));
}

int Channel(LICE_pixel p, int shift) { return static_cast<int>((p >> shift) & 0xFF); }

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> files;
  std::vector<Box> ignored;
  double scale = 1.0;
  int tolerance = 0;
  std::string diffPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    Box b;
    if (arg == "--scale" && hasValue) {
      scale = std::atof(argv[++i]);
    } else if (arg == "--tolerance" && hasValue) {
      tolerance = std::atoi(argv[++i]);
    } else if (arg == "--diff" && hasValue) {
      diffPath = argv[++i];
    } else if (arg == "--ignore" && hasValue &&
               std::sscanf(argv[++i], "%d,%d,%d,%d", &b.left, &b.top, &b.right, &b.bottom) == 4) {
      ignored.push_back(b);
    } else if (!arg.empty() && arg[0] != '-') {
      files.push_back(arg);
    } else {
      files.clear();
      break;
    }
  }
  if (files.size() != 2 || !(scale >= 0.5 && scale <= 4)) {
    std::fprintf(stderr,
                 "usage: quillet-compare-pictures A.png B.png [--scale S] [--ignore L,T,R,B]...\n"
                 "                                [--tolerance N] [--diff OUT.png]\n");
    return 2;
  }
  auto a = Load(files[0]);
  auto b = Load(files[1]);
  if (!a || !b) {
    std::fprintf(stderr, "quillet-compare-pictures: cannot read %s\n",
                 (!a ? files[0] : files[1]).c_str());
    return 2;
  }
  if (a->Width() != b->Width() || a->Height() != b->Height()) {
    std::printf("quillet-compare-pictures: sizes differ: %d x %d and %d x %d\n", a->Width(),
                a->Height(), b->Width(), b->Height());
    return 2;
  }
  std::vector<unsigned char> skip(static_cast<size_t>(a->Width()) * a->Height(), 0);
  for (const Box& box : ignored) {
    const int l = static_cast<int>(std::floor(box.left * scale));
    const int t = static_cast<int>(std::floor(box.top * scale));
    const int r = static_cast<int>(std::ceil(box.right * scale));
    const int bt = static_cast<int>(std::ceil(box.bottom * scale));
    for (int y = std::max(t, 0); y < std::min(bt, a->Height()); ++y)
      for (int x = std::max(l, 0); x < std::min(r, a->Width()); ++x)
        skip[static_cast<size_t>(y) * a->Width() + x] = 1;
  }
  LICE_MemBitmap diff(a->Width(), a->Height());
  long long compared = 0, differing = 0;
  int largest = 0;
  for (int y = 0; y < a->Height(); ++y) {
    for (int x = 0; x < a->Width(); ++x) {
      const LICE_pixel pa = a->Bits()[y * a->RowSpan() + x];
      const LICE_pixel pb = b->Bits()[y * b->RowSpan() + x];
      LICE_pixel shown = LICE_RGBA(LICE_GETR(pa) / 3, LICE_GETG(pa) / 3, LICE_GETB(pa) / 3, 255);
      if (!skip[static_cast<size_t>(y) * a->Width() + x]) {
        ++compared;
        int d = 0;
        for (int shift : {0, 8, 16})
          d = std::max(d, std::abs(Channel(pa, shift) - Channel(pb, shift)));
        largest = std::max(largest, d);
        if (d > tolerance) {
          ++differing;
          shown = LICE_RGBA(255, 0, 0, 255);
        }
      } else {
        shown = LICE_RGBA(0, 0, 96, 255);
      }
      diff.Bits()[y * diff.RowSpan() + x] = shown;
    }
  }
  std::string error;
  if (!diffPath.empty() && !render::writePng(diffPath, &diff, &error))
    std::fprintf(stderr, "quillet-compare-pictures: %s\n", error.c_str());
  std::printf(
      "quillet-compare-pictures: %d x %d, %lld pixels compared, %lld differ (largest channel "
      "difference %d)\n",
      a->Width(), a->Height(), compared, differing, largest);
  return differing == 0 ? 0 : 1;
}
