// libFuzzer target: arbitrary bytes through the PNG decoder. Every input must
// give either null or a bitmap of a sane size, without leaks or undefined
// behaviour (the fuzz build adds AddressSanitizer and UBSan).

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "lice/LICE_PngLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LICE_MemBitmap* bitmap = LICE_LoadPNGFromMemory(data, size);
  if (bitmap) {
    if (bitmap->Width() <= 0 || bitmap->Height() <= 0 || !bitmap->Bits()) std::abort();
    // Touch the last pixel: the rows must really be there.
    volatile LICE_pixel last =
        bitmap->Bits()[(bitmap->Height() - 1) * bitmap->RowSpan() + bitmap->Width() - 1];
    (void)last;
    delete bitmap;
  }
  return 0;
}
