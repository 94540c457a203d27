#include "tools/render/RenderPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "lice/LICE_FillRect.h"
#include "lice/LICE_Line.h"
#include "lice/LICE_SystemText.h"
#include "tools/render/Spectrogram.h"

namespace render {

namespace {

const LICE_pixel kBackground = LICE_RGBA(0x15, 0x17, 0x1C, 0xFF);
const LICE_pixel kPanel = LICE_RGBA(0x22, 0x25, 0x2D, 0xFF);
const LICE_pixel kGrid = LICE_RGBA(0x33, 0x37, 0x42, 0xFF);
const LICE_pixel kText = LICE_RGBA(0xE8, 0xE8, 0xEE, 0xFF);
const LICE_pixel kDimText = LICE_RGBA(0x9A, 0x9E, 0xAA, 0xFF);
const LICE_pixel kInputColour = LICE_RGBA(0x8C, 0x9B, 0xB5, 0xFF);
const LICE_pixel kOutputColour = LICE_RGBA(0x4F, 0xD1, 0xC5, 0xFF);

constexpr double kLowHz = 30.0;
constexpr double kHighHz = 20000.0;
constexpr double kZoomStartSeconds = 1.0;
constexpr double kZoomSeconds = 0.25;
constexpr float kLowestDb = -90.0f;

LICE_pixel scaled(LICE_pixel colour, double factor) {
  auto channel = [factor](int value) { return static_cast<int>(std::min(255.0, value * factor)); };
  return LICE_RGBA(channel(LICE_GETR(colour)), channel(LICE_GETG(colour)),
                   channel(LICE_GETB(colour)), 0xFF);
}

// Dark blue through purple, red and orange to pale yellow.
LICE_pixel heatColour(float db) {
  struct Stop {
    float at;
    int r, g, b;
  };
  static const Stop kStops[] = {{0.00f, 0x10, 0x10, 0x1A}, {0.25f, 0x3B, 0x0F, 0x6F},
                                {0.50f, 0x8C, 0x29, 0x81}, {0.70f, 0xDE, 0x49, 0x68},
                                {0.85f, 0xFE, 0x9F, 0x6D}, {1.00f, 0xFC, 0xFD, 0xBF}};
  float t = (db - kLowestDb) / -kLowestDb;
  t = std::min(1.0f, std::max(0.0f, t));
  for (std::size_t i = 1; i < sizeof kStops / sizeof kStops[0]; ++i) {
    if (t <= kStops[i].at) {
      const Stop& a = kStops[i - 1];
      const Stop& b = kStops[i];
      const float k = (t - a.at) / (b.at - a.at);
      return LICE_RGBA(static_cast<int>(a.r + (b.r - a.r) * k),
                       static_cast<int>(a.g + (b.g - a.g) * k),
                       static_cast<int>(a.b + (b.b - a.b) * k), 0xFF);
    }
  }
  return LICE_RGBA(0xFC, 0xFD, 0xBF, 0xFF);
}

LICE_Rect rect(int left, int top, int width, int height) {
  return LICE_Rect{left, top, left + width, top + height};
}

}  // namespace

RenderPicture::RenderPicture(int widthPx, int heightPx) : bitmap_(widthPx, heightPx) {
  fill(rect(0, 0, widthPx, heightPx), kBackground);
}

RenderPicture::~RenderPicture() = default;

void RenderPicture::fill(const LICE_Rect& r, LICE_pixel colour) {
  LICE_FillRect(&bitmap_, r.left, r.top, r.right - r.left, r.bottom - r.top, colour, 1.0f,
                LICE_BLIT_MODE_COPY);
}

LICE_CachedFont* RenderPicture::fontOfHeight(int heightPx) {
  std::unique_ptr<LICE_CachedFont>& font = fonts_[heightPx];
  if (!font) {
    font.reset(new LICE_CachedFont());
    LICE_FontSpec request;
    request.heightPx = heightPx;
    font->SetFontHandle(LICE_SystemText::MakeFont(request), LICE_FONT_FLAG_OWNS_HFONT);
  }
  return font.get();
}

void RenderPicture::text(int x, int y, const std::string& text, int heightPx, LICE_pixel colour) {
  LICE_CachedFont* font = fontOfHeight(heightPx);
  font->SetForeground(colour);
  font->SetBackgroundMode(LICE_BACKGROUND_TRANSPARENT);
  LICE_Rect r{x, y, bitmap_.Width(), y + heightPx * 2};
  font->DrawString(&bitmap_, text.c_str(), -1, &r, LICE_DT_SINGLELINE | LICE_DT_FORCE_CACHE);
}

void RenderPicture::waveform(const LICE_Rect& r, const AudioClip& clip, double startSeconds,
                             double endSeconds, double secondsPerBeat, LICE_pixel colour) {
  fill(r, kPanel);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int middle = r.top + height / 2;
  if (secondsPerBeat > 0) {
    const double firstBeat = std::ceil(startSeconds / secondsPerBeat) * secondsPerBeat;
    for (double beat = firstBeat; beat < endSeconds; beat += secondsPerBeat) {
      const int x =
          r.left + static_cast<int>((beat - startSeconds) / (endSeconds - startSeconds) * width);
      LICE_Line(&bitmap_, x, r.top, x, r.bottom - 1, kGrid, 1.0f, LICE_BLIT_MODE_COPY);
    }
  }
  LICE_Line(&bitmap_, r.left, middle, r.right - 1, middle, kGrid, 1.0f, LICE_BLIT_MODE_COPY);
  const long long frames = clip.frameCount();
  if (frames == 0) return;
  const double framesPerPixel = (endSeconds - startSeconds) * clip.rateHz / width;
  const double halfHeight = height / 2.0 - 1.0;
  const LICE_pixel envelope = scaled(colour, 0.55);
  for (int x = 0; x < width; ++x) {
    const long long first = static_cast<long long>(startSeconds * clip.rateHz + x * framesPerPixel);
    long long last = static_cast<long long>(startSeconds * clip.rateHz + (x + 1) * framesPerPixel);
    if (last <= first) last = first + 1;
    double low = 0.0, high = 0.0, squares = 0.0;
    long long count = 0;
    bool any = false;
    for (long long i = std::max(0LL, first); i < std::min(frames, last); ++i) {
      double mid = 0.0;
      for (const std::vector<double>& channel : clip.channels)
        mid += channel[static_cast<std::size_t>(i)];
      mid /= clip.channelCount();
      if (!any) low = high = mid;
      low = std::min(low, mid);
      high = std::max(high, mid);
      squares += mid * mid;
      ++count;
      any = true;
    }
    if (!any) continue;
    auto yOf = [&](double value) {
      const double clamped = std::max(-1.0, std::min(1.0, value));
      return middle - static_cast<int>(std::lround(clamped * halfHeight));
    };
    const int top = yOf(high), bottom = yOf(low);
    LICE_FillRect(&bitmap_, r.left + x, top, 1, std::max(1, bottom - top + 1), envelope, 1.0f,
                  LICE_BLIT_MODE_COPY);
    const double rms = std::sqrt(squares / count);
    const int rmsTop = yOf(std::min(rms, high)), rmsBottom = yOf(std::max(-rms, low));
    if (framesPerPixel > 4.0 && rmsBottom >= rmsTop) {
      LICE_FillRect(&bitmap_, r.left + x, rmsTop, 1, rmsBottom - rmsTop + 1, colour, 1.0f,
                    LICE_BLIT_MODE_COPY);
    }
  }
}

void RenderPicture::spectrogram(const LICE_Rect& r, const AudioClip& clip, double lowHz,
                                double highHz, bool withScale) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  const Spectrogram grid(clip, width, height, lowHz, highHz);
  LICE_pixel* bits = bitmap_.Bits();
  if (bits == nullptr) return;
  for (int y = 0; y < height; ++y) {
    LICE_pixel* row = bits + static_cast<std::size_t>(r.top + y) * bitmap_.RowSpan() + r.left;
    for (int x = 0; x < width; ++x) row[x] = heatColour(grid.levelDb(x, y));
  }
  if (!withScale) return;
  const double top = std::min(highHz, clip.rateHz / 2.0);
  for (double hz : {100.0, 1000.0, 10000.0}) {
    if (hz <= lowHz || hz >= top) continue;
    const double fraction = std::log(hz / lowHz) / std::log(top / lowHz);
    const int y = r.bottom - 1 - static_cast<int>(fraction * height);
    LICE_Line(&bitmap_, r.left, y, r.left + 6, y, kText, 1.0f, LICE_BLIT_MODE_COPY);
    text(r.left + 9, y - 5,
         hz >= 1000 ? std::to_string(static_cast<int>(hz / 1000)) + " kHz"
                    : std::to_string(static_cast<int>(hz)) + " Hz",
         10, kText);
  }
}

// --- One program ---------------------------------------------------------

namespace {
constexpr int kSheetMargin = 16;
constexpr int kSheetColumnWidth = 584;
constexpr int kSheetHeader = 64;
constexpr int kLabelHeight = 18;
constexpr int kWaveHeight = 130;
constexpr int kZoomHeight = 130;
constexpr int kSpectrumHeight = 200;
constexpr int kGap = 10;
}  // namespace

int programSheetWidth() { return kSheetMargin * 3 + kSheetColumnWidth * 2; }

int programSheetHeight() {
  return kSheetHeader + 3 * kLabelHeight + kWaveHeight + kZoomHeight + kSpectrumHeight + 2 * kGap +
         kSheetMargin;
}

void drawProgramSheet(RenderPicture* picture, const AudioClip& input, const AudioClip& output,
                      const SheetText& sheet, double tempoBpm) {
  const double secondsPerBeat = 60.0 / tempoBpm;
  picture->text(kSheetMargin, 12, sheet.title, 24, kText);
  picture->text(kSheetMargin, 42, sheet.description, 12, kDimText);
  char zoomLabel[96];
  std::snprintf(zoomLabel, sizeof zoomLabel, "zoom %.2f-%.2f s (lines: sixteenth notes at %g BPM)",
                kZoomStartSeconds, kZoomStartSeconds + kZoomSeconds, tempoBpm);
  const AudioClip* clips[2] = {&input, &output};
  const char* names[2] = {"INPUT", "OUTPUT"};
  const LICE_pixel colours[2] = {kInputColour, kOutputColour};
  for (int side = 0; side < 2; ++side) {
    const AudioClip& clip = *clips[side];
    const int left = kSheetMargin + side * (kSheetColumnWidth + kSheetMargin);
    int y = kSheetHeader;
    picture->text(left, y, std::string(names[side]) + "  waveform, whole render (lines: beats)", 12,
                  colours[side]);
    y += kLabelHeight;
    picture->waveform(rect(left, y, kSheetColumnWidth, kWaveHeight), clip, 0.0, clip.seconds(),
                      secondsPerBeat, colours[side]);
    y += kWaveHeight + kGap;
    picture->text(left, y, std::string(names[side]) + "  " + zoomLabel, 12, colours[side]);
    y += kLabelHeight;
    const double zoomStart =
        std::min(kZoomStartSeconds, std::max(0.0, clip.seconds() - kZoomSeconds));
    picture->waveform(rect(left, y, kSheetColumnWidth, kZoomHeight), clip, zoomStart,
                      zoomStart + kZoomSeconds, secondsPerBeat / 4.0, colours[side]);
    y += kZoomHeight + kGap;
    picture->text(left, y,
                  std::string(names[side]) + "  spectrogram, 30 Hz - 20 kHz (log), -90..0 dB", 12,
                  colours[side]);
    y += kLabelHeight;
    picture->spectrogram(rect(left, y, kSheetColumnWidth, kSpectrumHeight), clip, kLowHz, kHighHz,
                         true);
  }
}

// --- All programs --------------------------------------------------------

namespace {
constexpr int kTileColumns = 3;
constexpr int kTileWidth = 390;
constexpr int kTileTitle = 22;
constexpr int kTileWave = 70;
constexpr int kTileSpectrum = 110;
constexpr int kTileHeight = kTileTitle + kTileWave + 4 + kTileSpectrum;
constexpr int kTileGap = 14;
constexpr int kOverviewHeader = 44;
}  // namespace

int overviewWidth() { return kTileGap + kTileColumns * (kTileWidth + kTileGap); }

int overviewHeight(int outputCount) {
  const int tiles = outputCount + 1;
  const int rows = (tiles + kTileColumns - 1) / kTileColumns;
  return kOverviewHeader + rows * (kTileHeight + kTileGap) + kTileGap;
}

void drawOverview(RenderPicture* picture, const AudioClip& input,
                  const std::vector<AudioClip>& outputs, const std::vector<std::string>& titles,
                  double tempoBpm) {
  picture->text(kTileGap, 8, "Quillet: the demo signal through every factory program", 20, kText);
  picture->text(kTileGap, 30,
                "each tile: waveform (lines = beats), then spectrogram 30 Hz - 20 kHz (log)", 12,
                kDimText);
  const double secondsPerBeat = 60.0 / tempoBpm;
  for (std::size_t tile = 0; tile <= outputs.size(); ++tile) {
    const AudioClip& clip = tile == 0 ? input : outputs[tile - 1];
    const std::string title = tile == 0 ? "input (drums and chord pad)"
                                        : (tile - 1 < titles.size() ? titles[tile - 1] : "");
    const LICE_pixel colour = tile == 0 ? kInputColour : kOutputColour;
    const int column = static_cast<int>(tile % kTileColumns);
    const int row = static_cast<int>(tile / kTileColumns);
    const int left = kTileGap + column * (kTileWidth + kTileGap);
    const int top = kOverviewHeader + row * (kTileHeight + kTileGap);
    picture->text(left, top + 3, title, 14, colour);
    picture->waveform(rect(left, top + kTileTitle, kTileWidth, kTileWave), clip, 0.0,
                      clip.seconds(), secondsPerBeat, colour);
    picture->spectrogram(rect(left, top + kTileTitle + kTileWave + 4, kTileWidth, kTileSpectrum),
                         clip, kLowHz, kHighHz, false);
  }
}

}  // namespace render
