#include "lice/LICE_FontLibrary.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <mutex>
#include <type_traits>

namespace {

struct Library {
  std::mutex lock;
  FT_Library freetype = nullptr;
  FcConfig* config = nullptr;
  int openFaces = 0;
  bool exiting = false;  // set when the process or the plug-in is unloaded
};
// Constant-initialised and trivially destructible, so it stays usable when a
// font is freed during static destruction, in whatever order that runs.
Library gLibrary;
static_assert(std::is_trivially_destructible<Library>::value,
              "the library outlives static destruction");

bool Acquire(Library& library) {
  if (library.freetype) return true;
  if (FT_Init_FreeType(&library.freetype) != 0) {
    library.freetype = nullptr;
    return false;
  }
  library.config = FcInitLoadConfigAndFonts();
  return true;
}

// Loading the configuration takes milliseconds, so it is kept while the
// process runs, also between fonts.
void ReleaseIfUnused(Library& library) {
  if (!library.exiting || library.openFaces > 0 || !library.freetype) return;
  if (library.config) FcConfigDestroy(library.config);
  FT_Done_FreeType(library.freetype);
  library.config = nullptr;
  library.freetype = nullptr;
}

// Releases the library at unload once no face is open; if some still are,
// the last CloseFace does it.
struct ReleaseAtExit {
  ~ReleaseAtExit() {
    std::lock_guard<std::mutex> hold(gLibrary.lock);
    gLibrary.exiting = true;
    ReleaseIfUnused(gLibrary);
  }
} gReleaseAtExit;

FcPattern* PatternFor(const LICE_FontSpec& request) {
  FcPattern* pattern = FcPatternCreate();
  if (!pattern) return nullptr;
  if (request.face && request.face[0])
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(request.face));
  // A weight of 0 means "any", which is the normal weight.
  const int weight = request.weight <= 0 ? 400 : std::min(request.weight, 1000);
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  return pattern;
}

// The best-ranked outline font that FreeType opens.
FT_Face OpenBest(Library& library, const LICE_FontSpec& request) {
  if (!library.config) return nullptr;
  FcPattern* pattern = PatternFor(request);
  if (!pattern) return nullptr;
  FcConfigSubstitute(library.config, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcFontSet* fonts = FcFontSort(library.config, pattern, FcTrue, nullptr, &result);
  FT_Face face = nullptr;
  for (int i = 0; fonts && i < fonts->nfont && !face; ++i) {
    FcChar8* file = nullptr;
    int index = 0;
    FcBool outline = FcFalse;
    if (FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch) continue;
    if (FcPatternGetBool(fonts->fonts[i], FC_OUTLINE, 0, &outline) != FcResultMatch || !outline)
      continue;
    FcPatternGetInteger(fonts->fonts[i], FC_INDEX, 0, &index);
    if (FT_New_Face(library.freetype, reinterpret_cast<const char*>(file), index, &face) != 0) {
      face = nullptr;
      continue;
    }
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
      FT_Done_Face(face);
      face = nullptr;
    }
  }
  if (fonts) FcFontSetDestroy(fonts);
  FcPatternDestroy(pattern);
  return face;
}

}  // namespace

FT_Face LICE_FontLibrary::OpenFace(const LICE_FontSpec& request) {
  std::lock_guard<std::mutex> hold(gLibrary.lock);
  if (!Acquire(gLibrary)) return nullptr;
  FT_Face face = OpenBest(gLibrary, request);
  if (face)
    ++gLibrary.openFaces;
  else
    ReleaseIfUnused(gLibrary);
  return face;
}

void LICE_FontLibrary::CloseFace(FT_Face face) {
  if (!face) return;
  std::lock_guard<std::mutex> hold(gLibrary.lock);
  FT_Done_Face(face);
  --gLibrary.openFaces;
  ReleaseIfUnused(gLibrary);
}
