#pragma once
// Pixel and handle types shared by the whole drawing layer.
//
// PIXEL CONVENTION
//   A pixel is 32 bits; in memory its bytes are blue, green, red, alpha, so a
//   pixel read as a little-endian 32-bit value is 0xAARRGGBB. Every blend works
//   per byte (channel); the channel numbers of the channel-copy mode are these
//   byte offsets:
//
//     byte   0     1      2    3
//     chan   blue  green  red  alpha
//
// The system handles (device context, font, module) are opaque pointers so that
// no header of this layer needs the Windows headers. In the Windows builds they
// are HDC, HFONT and HMODULE; natively a font handle points to a text face of
// the native text drawing (LICE_TextFace.h) and device contexts do not exist.

#include <cstdint>

typedef uint32_t LICE_pixel;
typedef void* LICE_DC;
typedef void* LICE_FontHandle;
typedef void* LICE_ModuleHandle;

// Same layout as the editor's IRect: right and bottom are exclusive.
struct LICE_Rect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
};

enum LICE_Channel : int {
  LICE_CHANNEL_BLUE = 0,
  LICE_CHANNEL_GREEN = 1,
  LICE_CHANNEL_RED = 2,
  LICE_CHANNEL_ALPHA = 3
};

// Blit and fill modes: the low byte selects the combination, bit 0x10000 makes
// the source alpha take part. A low byte of 0xF0 or more is a channel copy:
// source channel = mode & 3, destination channel = (mode >> 2) & 3.
enum LICE_BlitMode : int {
  LICE_BLIT_MODE_COPY = 0,
  LICE_BLIT_MODE_ADD = 1,
  LICE_BLIT_MODE_DODGE = 2,
  LICE_BLIT_MODE_MUL = 3,
  LICE_BLIT_MODE_OVERLAY = 4,
  LICE_BLIT_MODE_HSVADJ = 5,
  LICE_BLIT_MODE_MASK = 0xFF,
  LICE_BLIT_MODE_CHANCOPY = 0xF0,
  LICE_BLIT_USE_ALPHA = 0x10000
};

inline LICE_pixel LICE_RGBA(int r, int g, int b, int a) {
  return (static_cast<uint32_t>(a & 0xFF) << 24) | (static_cast<uint32_t>(r & 0xFF) << 16) |
         (static_cast<uint32_t>(g & 0xFF) << 8) | static_cast<uint32_t>(b & 0xFF);
}
inline int LICE_GETA(LICE_pixel p) { return static_cast<int>(p >> 24); }
inline int LICE_GETR(LICE_pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
inline int LICE_GETG(LICE_pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
inline int LICE_GETB(LICE_pixel p) { return static_cast<int>(p & 0xFF); }
