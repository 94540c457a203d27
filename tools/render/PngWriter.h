// Writes a bitmap of the drawing layer as an 8-bit RGB PNG through libpng
// (alpha is dropped: the pictures are opaque). The file is written under a
// temporary name and moved into place once complete.
#pragma once

#include <string>

#include "lice/LICE_IBitmap.h"

namespace render {

bool writePng(const std::string& path, LICE_IBitmap* bitmap, std::string* errorText);

}  // namespace render
