#include "graphics/win32/ScaledSystemFont.h"

#include <cmath>

namespace graphics {

HFONT CreateScaledSystemFont(SystemFont which, double ratio) {
  LOGFONTA font = {};
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    font = which == SystemFont::kMenu ? metrics.lfMenuFont : metrics.lfMessageFont;
  else
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  // Height 0 means the default size, which scaling would leave unscaled.
  if (font.lfHeight == 0) font.lfHeight = -12;
  font.lfHeight = static_cast<LONG>(std::lround(font.lfHeight * ratio));
  font.lfWidth = 0;
  return CreateFontIndirectA(&font);
}

}  // namespace graphics
