#include "lice/LICE_Utf8.h"

namespace {
bool IsContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the well-formed sequence at text[p], or 0 when there is none.
int SequenceLength(const unsigned char* text, int length, int p) {
  const unsigned char lead = text[p];
  int needed = 0;
  if (lead >= 0xC2 && lead <= 0xDF)
    needed = 2;
  else if (lead >= 0xE0 && lead <= 0xEF)
    needed = 3;
  else if (lead >= 0xF0 && lead <= 0xF4)
    needed = 4;
  else
    return 0;
  if (p + needed > length) return 0;
  for (int i = 1; i < needed; ++i) {
    if (!IsContinuation(text[p + i])) return 0;
  }
  return needed;
}
}  // namespace

int LICE_Utf8::Next(const char* text, int length, int* position) {
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
  const int p = *position;
  switch (SequenceLength(t, length, p)) {
    case 2:
      *position = p + 2;
      return ((t[p] & 0x1F) << 6) | (t[p + 1] & 0x3F);
    case 3:
      *position = p + 3;
      return ((t[p] & 0x0F) << 12) | ((t[p + 1] & 0x3F) << 6) | (t[p + 2] & 0x3F);
    case 4:
      *position = p + 4;
      return ' ';
    default:
      *position = p + 1;
      return t[p];
  }
}

bool LICE_Utf8::HasMultiByte(const char* text, int length) {
  const unsigned char* t = reinterpret_cast<const unsigned char*>(text);
  for (int p = 0; p < length; ++p) {
    if (t[p] >= 0x80 && SequenceLength(t, length, p) > 0) return true;
  }
  return false;
}

int LICE_Utf8::ToUtf16(const char* text, int length, uint16_t* out, int capacity) {
  int count = 0;
  for (int p = 0; p < length;) {
    const int c = Next(text, length, &p);
    if (count < capacity) out[count] = static_cast<uint16_t>(c);
    ++count;
  }
  return count;
}
