#include "plug/vst3/Vst3Text.h"

namespace plug {

namespace {

// The code point at text[*i] (advancing *i), decoding UTF-8; a byte that
// starts no valid sequence stands for itself.
unsigned DecodeUtf8(const unsigned char* text, std::size_t* i) {
  const unsigned c = text[*i];
  int extra = c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : 0;
  if (c < 0x80 || extra == 0) {
    ++*i;
    return c;
  }
  unsigned code = c & (0x3F >> extra);
  for (int k = 1; k <= extra; ++k) {
    if ((text[*i + k] & 0xC0) != 0x80) {
      ++*i;
      return c;
    }
    code = (code << 6) | (text[*i + k] & 0x3F);
  }
  *i += static_cast<std::size_t>(extra) + 1;
  return code;
}

}  // namespace

void CopyToUtf16(vst3::char16* dst, const char* src, std::size_t capacity) {
  if (!dst || capacity == 0) return;
  std::size_t out = 0;
  const auto* text = reinterpret_cast<const unsigned char*>(src ? src : "");
  for (std::size_t i = 0; text[i];) {
    unsigned code = DecodeUtf8(text, &i);
    if (code >= 0x10000) {
      if (out + 2 >= capacity) break;
      code -= 0x10000;
      dst[out++] = static_cast<vst3::char16>(0xD800 + (code >> 10));
      dst[out++] = static_cast<vst3::char16>(0xDC00 + (code & 0x3FF));
    } else {
      if (out + 1 >= capacity) break;
      dst[out++] = static_cast<vst3::char16>(code);
    }
  }
  dst[out] = 0;
}

void CopyFromUtf16(char* dst, const vst3::char16* src, std::size_t maxUnits, std::size_t capacity) {
  if (!dst || capacity == 0) return;
  std::size_t out = 0;
  for (std::size_t i = 0; src && i < maxUnits && src[i]; ++i) {
    unsigned code = src[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < maxUnits && src[i + 1] >= 0xDC00 &&
        src[i + 1] < 0xE000) {
      code = 0x10000 + ((code - 0xD800) << 10) + (src[i + 1] - 0xDC00);
      ++i;
    } else if (code >= 0xD800 && code < 0xE000) {
      code = 0xFFFD;  // a lone surrogate
    }
    char bytes[4];
    std::size_t n;
    if (code < 0x80) {
      bytes[0] = static_cast<char>(code);
      n = 1;
    } else if (code < 0x800) {
      bytes[0] = static_cast<char>(0xC0 | (code >> 6));
      bytes[1] = static_cast<char>(0x80 | (code & 0x3F));
      n = 2;
    } else if (code < 0x10000) {
      bytes[0] = static_cast<char>(0xE0 | (code >> 12));
      bytes[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | (code & 0x3F));
      n = 3;
    } else {
      bytes[0] = static_cast<char>(0xF0 | (code >> 18));
      bytes[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      bytes[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      bytes[3] = static_cast<char>(0x80 | (code & 0x3F));
      n = 4;
    }
    if (out + n >= capacity) break;
    for (std::size_t k = 0; k < n; ++k) dst[out++] = bytes[k];
  }
  dst[out] = '\0';
}

}  // namespace plug
