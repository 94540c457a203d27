#pragma once
// PNG images decoded with libpng into new LICE_MemBitmaps.
//
// Every PNG colour type and depth is accepted: palettes and grey are expanded
// to RGB, a transparency chunk becomes alpha, 16-bit samples are reduced to 8,
// images without alpha are made opaque. Data that is missing, shorter than the
// signature, not a PNG, corrupt or larger than 16384 pixels on a side (or 2^24
// pixels in all) gives null; libpng's error jump is caught and everything it
// allocated is released. Nothing is printed.

#include <cstddef>

#include "lice/LICE_MemBitmap.h"

// The caller owns the result.
LICE_MemBitmap* LICE_LoadPNGFromMemory(const void* data, size_t sizeBytes);
// Resource id of type "PNG" in the module (LICE_ResourceSource.h).
LICE_MemBitmap* LICE_LoadPNGFromResource(LICE_ModuleHandle module, int id);
