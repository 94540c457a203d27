// Timings of the drawing layer's hot paths at editor size, in microseconds per
// operation (Google Benchmark prints the figures; nothing is asserted).

#include <benchmark/benchmark.h>

#include "lice/LICE_Blit.h"
#include "lice/LICE_CachedFont.h"
#include "lice/LICE_FillRect.h"
#include "lice/LICE_Line.h"
#include "lice/LICE_MemBitmap.h"
#include "lice/LICE_SysBitmap.h"
#include "lice/LICE_SystemText.h"

namespace {

constexpr int kEditorWidthPx = 984;
constexpr int kEditorHeightPx = 432;

// A source like the editor's images: opaque areas, transparent areas and soft
// edges in between.
void PaintMixedAlpha(LICE_IBitmap& b) {
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const int band = (x / 16 + y / 16) % 3;
      const int alpha = band == 0 ? 0 : (band == 1 ? 255 : (x * 7 + y * 3) & 0xFF);
      b.Bits()[y * b.RowSpan() + x] = LICE_RGBA(x & 0xFF, y & 0xFF, (x + y) & 0xFF, alpha);
    }
  }
}

void BlitFullEditorWithSourceAlpha(benchmark::State& state) {
  LICE_SysBitmap dest(kEditorWidthPx, kEditorHeightPx);
  LICE_MemBitmap src(kEditorWidthPx, kEditorHeightPx);
  PaintMixedAlpha(src);
  LICE_FillRect(&dest, 0, 0, kEditorWidthPx, kEditorHeightPx, 0xFF404040u, 1.0f,
                LICE_BLIT_MODE_COPY);
  for (auto _ : state) {
    LICE_Blit(&dest, &src, 0, 0, 1.0f, LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
    benchmark::DoNotOptimize(dest.Bits());
  }
}
BENCHMARK(BlitFullEditorWithSourceAlpha)->Unit(benchmark::kMicrosecond);

void BlitFullEditorOpaqueCopy(benchmark::State& state) {
  LICE_SysBitmap dest(kEditorWidthPx, kEditorHeightPx);
  LICE_MemBitmap src(kEditorWidthPx, kEditorHeightPx);
  PaintMixedAlpha(src);
  for (auto _ : state) {
    LICE_Blit(&dest, &src, 0, 0, 1.0f, LICE_BLIT_MODE_COPY);
    benchmark::DoNotOptimize(dest.Bits());
  }
}
BENCHMARK(BlitFullEditorOpaqueCopy)->Unit(benchmark::kMicrosecond);

void FortyCharactersThroughTheGlyphCache(benchmark::State& state) {
  LICE_FontSpec request;
  request.heightPx = 20;
  request.weight = 700;
  request.face = "Courier New";
  LICE_CachedFont font;
  font.SetFontHandle(LICE_SystemText::MakeFont(request),
                     LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
  font.SetForeground(LICE_RGBA(64, 64, 64, 192));
  LICE_SysBitmap dest(kEditorWidthPx, kEditorHeightPx);
  const char* text = "Grain Length 125.0 ms / Frame Sync 1/4T";  // 40 characters
  const int flags = static_cast<int>(LICE_DT_USEFGALPHA | LICE_DT_NOCLIP | LICE_DT_CENTER);
  LICE_Rect r = {100, 100, 700, 130};
  font.DrawString(&dest, text, -1, &r, flags);  // renders the glyphs once
  for (auto _ : state) {
    benchmark::DoNotOptimize(font.DrawString(&dest, text, -1, &r, flags));
  }
}
BENCHMARK(FortyCharactersThroughTheGlyphCache)->Unit(benchmark::kMicrosecond);

void EnvelopeCurveOfAntiAliasedDodgeLines(benchmark::State& state) {
  LICE_SysBitmap dest(kEditorWidthPx, kEditorHeightPx);
  LICE_FillRect(&dest, 0, 0, kEditorWidthPx, kEditorHeightPx, 0xFF909090u, 1.0f,
                LICE_BLIT_MODE_COPY);
  const LICE_pixel colour = LICE_RGBA(176, 128, 112, 128);
  for (auto _ : state) {
    // 142 short segments, as one envelope display draws.
    for (int i = 0; i < 142; ++i) {
      LICE_Line(&dest, 250 + i, 271 - (i * 3) % 74, 251 + i, 271 - ((i + 1) * 3) % 74, colour, 0.5f,
                LICE_BLIT_MODE_DODGE);
    }
    benchmark::DoNotOptimize(dest.Bits());
  }
}
BENCHMARK(EnvelopeCurveOfAntiAliasedDodgeLines)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
