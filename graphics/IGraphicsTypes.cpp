#include "graphics/IGraphicsTypes.h"

#include "plug/TextUtil.h"

namespace graphics {

LICE_pixel IArgb::Packed() const {
  return (static_cast<uint32_t>(a & 0xFF) << 24) | (static_cast<uint32_t>(r & 0xFF) << 16) |
         (static_cast<uint32_t>(g & 0xFF) << 8) | static_cast<uint32_t>(b & 0xFF);
}

uint32_t IArgb::ColorRef() const {
  return static_cast<uint32_t>(r & 0xFF) | (static_cast<uint32_t>(g & 0xFF) << 8) |
         (static_cast<uint32_t>(b & 0xFF) << 16);
}

IArgb IArgb::FromPacked(LICE_pixel p) {
  return IArgb(LICE_GETA(p), LICE_GETR(p), LICE_GETG(p), LICE_GETB(p));
}

IArgb IArgb::FromColorRef(uint32_t rgb, int alpha) {
  return IArgb(alpha, static_cast<int>(rgb & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
               static_cast<int>((rgb >> 16) & 0xFF));
}

ITextStyle::ITextStyle(const char* font, int sizePx, const IArgb& textColour,
                       ITextStyleWeight weight, ITextAlign alignment)
    : size(sizePx), colour(textColour), style(weight), align(alignment) {
  plug::CopyText(fontName, font, sizeof fontName);
}

IMouseState IMouseState::FromKeyState(unsigned keyState, bool altDown) {
  IMouseState s;
  s.left = (keyState & 0x1) != 0;
  s.right = (keyState & 0x2) != 0;
  s.shift = (keyState & 0x4) != 0;
  s.control = (keyState & 0x8) != 0;
  s.alt = altDown;
  return s;
}

int IBlend::BlitMode() const {
  switch (mode) {
    case IBlendMode::kCopy:
      return LICE_BLIT_MODE_COPY;
    case IBlendMode::kAdd:
      return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case IBlendMode::kColorDodge:
      return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    case IBlendMode::kNormal:
    default:
      return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  }
}

int IBlend::BlitModeOf(const IBlend* blend) {
  return blend ? blend->BlitMode() : (LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
}

float IBlend::WeightOf(const IBlend* blend) { return blend ? blend->weight : 1.0f; }

int32_t IFrameStrip::FrameWidth() const { return framesSideBySide && frames > 0 ? w / frames : w; }

int32_t IFrameStrip::FrameHeight() const {
  return !framesSideBySide && frames > 0 ? h / frames : h;
}

int KeyCodeOfVirtualKey(int vk) {
  switch (vk) {
    case 0x20:  // space
      return kKeySpace;
    case 0x25:  // left
      return kKeyLeft;
    case 0x26:  // up
      return kKeyUp;
    case 0x27:  // right
      return kKeyRight;
    case 0x28:  // down
      return kKeyDown;
    default:
      break;
  }
  if (vk >= '0' && vk <= '9') return kKeyDigit0 + (vk - '0');
  if (vk >= 'A' && vk <= 'Z') return kKeyA + (vk - 'A');
  if (vk >= 0x61 && vk <= 0x7A) return kKeyA + (vk - 0x61);
  return kKeyNone;
}

}  // namespace graphics
