// The small value types the graphics host, the controls and the window layers
// share: colours, text styles, mouse state, blends, bitmap strips and key codes.
#pragma once

#include <cstdint>

#include "lice/LICE_Types.h"

class LICE_CachedFont;
class LICE_IBitmap;

namespace graphics {

// A colour with 0..255 channels.
struct IArgb {
  int32_t a = 255;
  int32_t r = 0;
  int32_t g = 0;
  int32_t b = 0;

  IArgb() = default;
  IArgb(int alpha, int red, int green, int blue) : a(alpha), r(red), g(green), b(blue) {}

  // 0xAARRGGBB, the drawing layer's pixel.
  LICE_pixel Packed() const;
  // 0x00BBGGRR, a Windows colour value (alpha dropped).
  uint32_t ColorRef() const;
  static IArgb FromPacked(LICE_pixel p);
  static IArgb FromColorRef(uint32_t rgb, int alpha = 255);

  bool operator==(const IArgb& o) const { return a == o.a && r == o.r && g == o.g && b == o.b; }
};

enum class ITextStyleWeight : int32_t { kNormal = 0, kBold = 1, kItalic = 2 };
enum class ITextAlign : int32_t { kLeft = 0, kCenter = 1, kRight = 2 };
enum class ITextQuality : int32_t {
  kDefault = 0,
  kNonAntialiased = 1,
  kAntialiased = 2,
  kClearType = 3
};

// How a text is drawn. The cached font is filled from the process-wide font
// cache the first time the style draws; it is not owned.
struct ITextStyle {
  static constexpr int kFontNameBytes = 32;

  char fontName[kFontNameBytes] = "Verdana";
  int32_t size = 12;  // character height in pixels
  IArgb colour{255, 0, 0, 0};
  IArgb entryBackground{255, 255, 255, 255};
  IArgb entryText{255, 0, 0, 0};
  ITextStyleWeight style = ITextStyleWeight::kNormal;
  ITextAlign align = ITextAlign::kCenter;
  int32_t orientationDeg = 0;  // counter-clockwise
  ITextQuality quality = ITextQuality::kDefault;
  LICE_CachedFont* cachedFont = nullptr;

  ITextStyle() = default;
  // The font name is cut to 31 characters.
  ITextStyle(const char* font, int sizePx, const IArgb& textColour,
             ITextStyleWeight weight = ITextStyleWeight::kNormal,
             ITextAlign alignment = ITextAlign::kCenter);
};

// The buttons and modifier keys of one mouse event.
struct IMouseState {
  bool left = false;
  bool right = false;
  bool shift = false;
  bool control = false;
  bool alt = false;

  // From a mouse message's key-state word (left 0x1, right 0x2, shift 0x4,
  // control 0x8) and whether Alt is down now.
  static IMouseState FromKeyState(unsigned keyState, bool altDown);
};

enum class IBlendMode : int32_t {
  kNormal = 0,      // copy using the source alpha
  kCopy = 1,        // copy ignoring alpha
  kAdd = 2,         // add using alpha
  kColorDodge = 3,  // colour dodge using alpha
};

struct IBlend {
  IBlendMode mode = IBlendMode::kNormal;
  float weight = 1.0f;

  IBlend() = default;
  IBlend(IBlendMode m, float w) : mode(m), weight(w) {}

  // The drawing layer's blit mode for this blend.
  int BlitMode() const;
  // Blit mode of an optional blend: none means normal.
  static int BlitModeOf(const IBlend* blend);
  static float WeightOf(const IBlend* blend);
};

// A bitmap divided into frames along one direction. The bitmap belongs to the
// process-wide bitmap cache; it may be null when its image could not be loaded.
// bitmap, w and h are those of the 100 % image, so sizes and positions stay
// logical; at another scale the graphics host draws the same frames from the
// image of that scale, found by id (IGraphics::ScaledBitmap).
struct IFrameStrip {
  LICE_IBitmap* bitmap = nullptr;
  int32_t w = 0;  // of the whole bitmap
  int32_t h = 0;
  int32_t id = 0;  // resource id of the 100 % image, 0 for none
  int32_t frames = 1;
  bool framesSideBySide = false;  // true: left to right; false: top to bottom

  // Size of one frame (integer division along the frame direction).
  int32_t FrameWidth() const;
  int32_t FrameHeight() const;
};

// Keys the editor understands; others are passed on to the host.
enum KeyCode : int32_t {
  kKeySpace = 0,
  kKeyUp = 1,
  kKeyDown = 2,
  kKeyLeft = 3,
  kKeyRight = 4,
  kKeyDigit0 = 5,  // .. kKeyDigit0 + 9
  kKeyA = 15,      // .. kKeyA + 25
  kKeyZ = 40,
  kKeyNone = -1,
};

// The key code of a Windows virtual-key code (space, the arrows, "0" to "9",
// "A" to "Z", and 0x61 to 0x7A as letters too), or kKeyNone. Every window
// layer maps its keys through the virtual-key codes, so they agree.
int KeyCodeOfVirtualKey(int virtualKey);

}  // namespace graphics
