#pragma once
// The process's FreeType library and fontconfig configuration, shared by
// every native font. Both are made when the first face opens and kept while
// the process runs; when the plug-in or the program is unloaded they are
// released as soon as no face is open any more, whichever of the two comes
// last, so nothing leaks and no destructor depends on the order of static
// destruction.
//
// FreeType allows one library on several threads as long as opening and
// closing faces are serialised: both happen under the library's lock here,
// together with every fontconfig call. An open face is used under its own
// lock (LICE_TextFace).

#include <ft2build.h>
#include FT_FREETYPE_H

#include "lice/LICE_SystemText.h"

class LICE_FontLibrary {
 public:
  // The first scalable face of fontconfig's choice for the request's family,
  // weight and slant; fontconfig substitutes a similar family, or its default,
  // for one that is not installed. Null when there is no font at all or
  // FreeType fails. Size and style are left to the caller.
  static FT_Face OpenFace(const LICE_FontSpec& request);
  static void CloseFace(FT_Face face);
};
