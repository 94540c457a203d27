// Texts between the plug-in's 8-bit strings and the interface's UTF-16
// (String128 and host-typed strings), always bounded and terminated.
#pragma once

#include <cstddef>

#include "plug/vst3/Vst3Abi.h"

namespace plug {

// src (UTF-8; bytes above 0x7F that do not form a sequence pass as Latin-1)
// into dst of capacity units, cut and terminated.
void CopyToUtf16(vst3::char16* dst, const char* src, std::size_t capacity);
// src (UTF-16, read up to its terminator or maxUnits) into dst of capacity
// bytes as UTF-8, cut at a whole character and terminated. A null src gives "".
void CopyFromUtf16(char* dst, const vst3::char16* src, std::size_t maxUnits, std::size_t capacity);

}  // namespace plug
