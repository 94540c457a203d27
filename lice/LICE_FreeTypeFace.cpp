#include "lice/LICE_FreeTypeFace.h"

#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <new>

#include "lice/LICE_FontLibrary.h"
#include "lice/LICE_TextPainter.h"

namespace {

constexpr int kDefaultCellHeightPx = 16;
constexpr int kBoldWeight = 600;  // from semi-bold on a face counts as bold

struct VerticalMetrics {
  long ascent;  // font units, both positive
  long descent;
};

VerticalMetrics WindowsMetrics(FT_Face face) {
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFFu && os2->usWinAscent + os2->usWinDescent > 0)
    return {long(os2->usWinAscent), long(os2->usWinDescent)};
  return {long(face->ascender), long(-face->descender)};
}

// value (font units) scaled to ppem pixels per em, rounded half up.
int ScaledPx(long value, int ppem, int unitsPerEm) {
  return int((2 * value * ppem + unitsPerEm) / (2 * long(unitsPerEm)));
}

bool FaceIsBold(FT_Face face) {
  const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFFu) return os2->usWeightClass >= kBoldWeight;
  return (face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
}

}  // namespace

LICE_FreeTypeFace* LICE_FreeTypeFace::Open(const LICE_FontSpec& request) {
  FT_Face face = LICE_FontLibrary::OpenFace(request);
  if (!face) return nullptr;
  LICE_FreeTypeFace* result = new (std::nothrow) LICE_FreeTypeFace(face);
  if (!result) {
    LICE_FontLibrary::CloseFace(face);
    return nullptr;
  }
  if (!result->SetSize(request.heightPx)) {
    delete result;
    return nullptr;
  }
  if (request.quality == 1) {
    result->loadFlags_ = FT_LOAD_TARGET_MONO;
    result->renderMode_ = FT_RENDER_MODE_MONO;
  }
  result->synthesiseBold_ = request.weight >= kBoldWeight && !FaceIsBold(face);
  result->synthesiseItalic_ = request.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC);
  return result;
}

LICE_FreeTypeFace::LICE_FreeTypeFace(FT_Face face) : face_(face) {}

LICE_FreeTypeFace::~LICE_FreeTypeFace() { LICE_FontLibrary::CloseFace(face_); }

bool LICE_FreeTypeFace::SetSize(int heightPx) {
  const VerticalMetrics metrics = WindowsMetrics(face_);
  const int unitsPerEm = face_->units_per_EM;
  if (metrics.ascent + metrics.descent <= 0) return false;
  const int cellPx = heightPx == 0 ? kDefaultCellHeightPx : heightPx;
  auto cellAt = [&](int ppem) {
    return ScaledPx(metrics.ascent, ppem, unitsPerEm) + ScaledPx(metrics.descent, ppem, unitsPerEm);
  };
  int ppem;
  if (cellPx < 0) {
    ppem = -cellPx;
  } else {
    ppem = int(long(cellPx) * unitsPerEm / (metrics.ascent + metrics.descent)) + 1;
    while (ppem > 1 && cellAt(ppem) > cellPx) --ppem;
  }
  if (FT_Set_Pixel_Sizes(face_, 0, FT_UInt(ppem)) != 0) return false;
  ascentPx_ = ScaledPx(metrics.ascent, ppem, unitsPerEm);
  descentPx_ = ScaledPx(metrics.descent, ppem, unitsPerEm);
  return ascentPx_ + descentPx_ > 0;
}

bool LICE_FreeTypeFace::LoadGlyph(int character) {
  const FT_UInt index = FT_Get_Char_Index(face_, FT_ULong(character));
  if (FT_Load_Glyph(face_, index, loadFlags_) != 0) return false;
  FT_GlyphSlot slot = face_->glyph;
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) return true;
  if (synthesiseItalic_) FT_GlyphSlot_Oblique(slot);
  if (synthesiseBold_) {
    FT_GlyphSlot_Embolden(slot);
    slot->advance.x = (slot->advance.x + 32) & ~63;
  }
  return true;
}

int LICE_FreeTypeFace::AdvancePx(int character) {
  if (!LoadGlyph(character)) return 0;
  return int((face_->glyph->advance.x + 32) >> 6);
}

int LICE_FreeTypeFace::DrawGlyph(int character, int penX, int topY, LICE_TextPainter& painter) {
  if (!LoadGlyph(character)) return 0;
  FT_GlyphSlot slot = face_->glyph;
  const int advancePx = int((slot->advance.x + 32) >> 6);
  if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, renderMode_) != 0)
    return advancePx;
  const FT_Bitmap& bitmap = slot->bitmap;
  const int left = penX + slot->bitmap_left;
  const int top = topY + ascentPx_ - slot->bitmap_top;
  for (unsigned row = 0; row < bitmap.rows; ++row) {
    const unsigned char* line = bitmap.buffer + int(row) * bitmap.pitch;
    for (unsigned col = 0; col < bitmap.width; ++col) {
      int coverage = 0;
      if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY)
        coverage = line[col];
      else if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        coverage = (line[col >> 3] >> (7 - (col & 7)) & 1) ? 255 : 0;
      painter.Cover(left + int(col), top + int(row), coverage);
    }
  }
  return advancePx;
}
