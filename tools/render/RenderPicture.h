// Pictures of renders, drawn with the project's drawing layer: waveform
// panels (per pixel column the sample range of the mid signal, light, and its
// RMS, bright), spectrogram panels (logarithmic frequency, levels from -90 to
// 0 dB on a dark-to-light colour scale) and text.
//
// Two layouts use them:
//   drawProgramSheet  one program: input and output side by side, each as the
//                     whole waveform, a zoom of a quarter second and a
//                     spectrogram
//   drawOverview      the input and every program's output as small tiles
//                     (waveform over spectrogram) in a grid
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "lice/LICE_CachedFont.h"
#include "lice/LICE_MemBitmap.h"
#include "tools/render/AudioClip.h"

namespace render {

class RenderPicture {
 public:
  RenderPicture(int widthPx, int heightPx);
  virtual ~RenderPicture();

  LICE_IBitmap* bitmap() { return &bitmap_; }

  void fill(const LICE_Rect& r, LICE_pixel colour);
  // Text with its top-left corner at (x, y).
  void text(int x, int y, const std::string& text, int heightPx, LICE_pixel colour);
  // The clip between startSeconds and endSeconds; beat lines every
  // secondsPerBeat when that is positive.
  void waveform(const LICE_Rect& r, const AudioClip& clip, double startSeconds, double endSeconds,
                double secondsPerBeat, LICE_pixel colour);
  void spectrogram(const LICE_Rect& r, const AudioClip& clip, double lowHz, double highHz,
                   bool withScale);

 private:
  LICE_CachedFont* fontOfHeight(int heightPx);

  LICE_MemBitmap bitmap_;
  std::map<int, std::unique_ptr<LICE_CachedFont>> fonts_;
};

struct SheetText {
  std::string title;        // e.g. "5  Ring Modulator"
  std::string description;  // one line on what to look and listen for
};

// One program's picture.
void drawProgramSheet(RenderPicture* picture, const AudioClip& input, const AudioClip& output,
                      const SheetText& text, double tempoBpm);
int programSheetWidth();
int programSheetHeight();

// The input and the outputs (with their titles) in a grid.
void drawOverview(RenderPicture* picture, const AudioClip& input,
                  const std::vector<AudioClip>& outputs, const std::vector<std::string>& titles,
                  double tempoBpm);
int overviewWidth();
int overviewHeight(int outputCount);

}  // namespace render
