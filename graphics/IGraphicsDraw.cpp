// IGraphics: drawing operations, dirty collection and the redraw pass.
#include <cmath>
#include <mutex>
#include <new>

#include "graphics/FontCache.h"
#include "graphics/IGraphics.h"
#include "lice/LICE_Blit.h"
#include "lice/LICE_CachedFont.h"
#include "lice/LICE_FillRect.h"
#include "lice/LICE_IBitmap.h"
#include "lice/LICE_Line.h"
#include "lice/LICE_SubBitmap.h"
#include "lice/LICE_SystemText.h"
#include "plug/IPlugBase.h"

namespace graphics {

namespace {

// Whether a control takes part in a redraw of update: one whose left or top
// edge lies on the update's right or bottom edge still does (it is drawn
// once too often rather than left stale); empty rectangles never do.
bool TouchesUpdate(const IRect& update, const IRect& r) {
  return !update.Empty() && !r.Empty() && update.right >= r.left && update.left < r.right &&
         update.bottom >= r.top && update.top < r.bottom;
}

// Whether update holds all of r; the empty rectangle (a control outside the
// window) is held by anything.
bool Covers(const IRect& update, const IRect& r) {
  return r.Empty() || (update.left <= r.left && update.top <= r.top && update.right >= r.right &&
                       update.bottom >= r.bottom);
}

// The font for a style: the style's own, the cache's, or a new one. Null
// when the system cannot make the font.
LICE_CachedFont* FontFor(ITextStyle* style) {
  if (style->cachedFont) return style->cachedFont;
  LICE_CachedFont* font = FontCache::Find(*style);
  if (!font) {
    LICE_FontSpec request;
    request.heightPx = style->size;
    request.weight = style->style == ITextStyleWeight::kBold ? 700 : 400;
    request.italic = style->style == ITextStyleWeight::kItalic;
    request.orientationDeg = style->orientationDeg;
    request.quality = static_cast<int>(style->quality);
    request.face = style->fontName;
    LICE_FontHandle handle = LICE_SystemText::MakeFont(request);
    if (!handle) return nullptr;
    font = new (std::nothrow) LICE_CachedFont();
    if (!font) {
      LICE_SystemText::FreeFont(handle);
      return nullptr;
    }
    font->SetFontHandle(handle, LICE_FONT_FLAG_OWNS_HFONT | LICE_FONT_FLAG_FORCE_NATIVE);
    font = FontCache::Insert(*style, font);
  }
  style->cachedFont = font;
  return font;
}

}  // namespace

void IGraphics::SetDrawRect(const IRect& r) {
  drawRect_ = r;
  deviceClip_ = ToDeviceCover(r);
}

IRect IGraphics::DeviceDest(const IRect& dest) const {
  // An image keeps its own rounded-up device size (its frames' pitch) from
  // the rounded device position, as the artwork preview places it.
  if (scalePercent_ == 100) return dest;
  const int left = ToDevice(dest.left);
  const int top = ToDevice(dest.top);
  return IRect(left, top, left + (dest.W() * scalePercent_ + 99) / 100,
               top + (dest.H() * scalePercent_ + 99) / 100);
}

void IGraphics::BlitDevice(LICE_IBitmap* bitmap, const IRect& dest, int srcX, int srcY,
                           const IBlend* blend) {
  const IRect r = dest.Intersect(deviceClip_);
  if (r.Empty()) return;
  LICE_Blit(drawBitmap_, bitmap, r.left, r.top, srcX + (r.left - dest.left),
            srcY + (r.top - dest.top), r.W(), r.H(), IBlend::WeightOf(blend),
            IBlend::BlitModeOf(blend));
}

bool IGraphics::DrawBitmap(const IFrameStrip* strip, const IRect* dest, int srcX, int srcY,
                           const IBlend* blend) {
  if (!strip || !strip->bitmap || !dest || !drawBitmap_) return true;
  LICE_IBitmap* bitmap = ScaledBitmap(strip);
  if (!bitmap) return true;
  BlitDevice(bitmap, DeviceDest(*dest), ToDevice(srcX), ToDevice(srcY), blend);
  return true;
}

bool IGraphics::DrawFrame(const IFrameStrip* strip, const IRect* dest, int frame,
                          const IBlend* blend) {
  if (!strip || !strip->bitmap || !dest || !drawBitmap_) return true;
  LICE_IBitmap* bitmap = ScaledBitmap(strip);
  if (!bitmap) return true;
  // The frame's offset in the image drawn: at a scale the frames lie at the
  // scaled image's own pitch (rounded up, resources/EditorImages.h).
  int srcX = 0;
  int srcY = 0;
  if (strip->frames >= 2 && frame >= 2) {
    if (strip->framesSideBySide) {
      srcX = static_cast<int>((frame - 1) * bitmap->Width() / static_cast<double>(strip->frames) +
                              0.5);
    } else {
      srcY = static_cast<int>((frame - 1) * bitmap->Height() / static_cast<double>(strip->frames) +
                              0.5);
    }
  }
  BlitDevice(bitmap, DeviceDest(*dest), srcX, srcY, blend);
  return true;
}

bool IGraphics::DrawLine(const IArgb* colour, float x1, float y1, float x2, float y2,
                         const IBlend* blend) {
  if (!colour || !drawBitmap_) return true;
  // Truncated at 100 %; at a scale a point lands on the device pixel it lies
  // in (a hair of slack absorbs the float error of x / scale x scale).
  const double s = Scale();
  auto device = [&](float v) {
    return scalePercent_ == 100 ? static_cast<int>(v) : static_cast<int>(std::floor(v * s + 1e-3));
  };
  LICE_SubBitmap clip(drawBitmap_, deviceClip_.left, deviceClip_.top, deviceClip_.W(),
                      deviceClip_.H());
  LICE_Line(&clip, device(x1) - clip.X(), device(y1) - clip.Y(), device(x2) - clip.X(),
            device(y2) - clip.Y(), colour->Packed(), IBlend::WeightOf(blend),
            IBlend::BlitModeOf(blend));
  return true;
}

bool IGraphics::FillRect(const IArgb* colour, const IRect* r) {
  if (!colour || !r || !drawBitmap_) return true;
  const IRect fill = ToDevice(*r).Intersect(deviceClip_);
  if (fill.Empty()) return true;
  LICE_FillRect(drawBitmap_, fill.left, fill.top, fill.W(), fill.H(), colour->Packed(), 1.0f,
                LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA);
  return true;
}

bool IGraphics::DrawText(ITextStyle* style, const char* text, IRect* r, bool measure) {
  if (!text || !text[0]) return true;
  if (!style || !r) return false;
  // Fonts are shared by every editor of the process, which may draw from
  // different threads: one at a time uses them.
  std::lock_guard<std::mutex> hold(FontCache::UseLock());
  LICE_CachedFont* font = nullptr;
  if (scalePercent_ == 100) {
    font = FontFor(style);
  } else {
    // The same face made at the scaled height; the style keeps its own
    // (100 %) font, the cache holds both.
    ITextStyle scaled = *style;
    scaled.size = ToDevice(style->size);
    scaled.cachedFont = nullptr;
    font = FontFor(&scaled);
  }
  if (!font) return false;
  font->SetForeground(style->colour.Packed());
  int flags = LICE_DT_NOCLIP;
  if (style->align == ITextAlign::kCenter) flags |= LICE_DT_CENTER;
  if (style->align == ITextAlign::kRight) flags |= LICE_DT_RIGHT;
  if (style->colour.a != 255) flags |= LICE_DT_USEFGALPHA;

  if (measure) {
    LICE_Rect extent{0, 0, 0, 0};
    font->DrawString(nullptr, text, -1, &extent, flags | LICE_DT_CALCRECT);
    // In logical pixels, rounded up.
    const int w = -ToLogical(-(extent.right - extent.left));
    const int h = -ToLogical(-(extent.bottom - extent.top));
    if (style->align == ITextAlign::kCenter) {
      r->left = (r->left + r->right) / 2 - w / 2;
    } else if (style->align == ITextAlign::kRight) {
      r->left = r->right - w;
    }
    r->right = r->left + w;
    r->bottom = r->top + h;
    return true;
  }
  if (!drawBitmap_) return true;
  const IRect at = ToDevice(*r);
  LICE_SubBitmap clip(drawBitmap_, deviceClip_.left, deviceClip_.top, deviceClip_.W(),
                      deviceClip_.H());
  LICE_Rect inClip{at.left - clip.X(), at.top - clip.Y(), at.right - clip.X(),
                   at.bottom - clip.Y()};
  font->DrawString(&clip, text, -1, &inClip, flags);
  return true;
}

bool IGraphics::MeasureText(ITextStyle* style, const char* text, IRect* r) {
  return DrawText(style, text, r, true);
}

bool IGraphics::CollectDirty(IRect* out) {
  IRect united;
  bool any = false;
  for (IControl* control : controls_) {
    if (control->IsDirty()) {
      united = united.Union(control->Rect());
      any = true;
    }
  }
  if (out) *out = united;
  return CountTick(any);
}

bool IGraphics::CollectDirty(IDirtyList* out) {
  bool any = false;
  if (out) out->Clear();
  for (IControl* control : controls_) {
    if (control->IsDirty()) {
      if (out) out->Add(control->Rect());
      any = true;
    }
  }
  return CountTick(any);
}

bool IGraphics::CountTick(bool anyDirty) {
  if (anyDirty) {
    idleTicks_ = 0;
    return true;
  }
  if (++idleTicks_ >= kIdleTicksPerHostIdle) {
    if (plugin_) plugin_->OnHostIdle();
    idleTicks_ = 0;
  }
  return false;
}

void IGraphics::DrawControl(IControl* control) {
  ++controlsDrawn_;
  control->Draw(this);
}

bool IGraphics::Redraw(const IRect* update) {
  if (controls_.empty() || !update) return true;
  const IRect window(0, 0, width_, height_);
  // Strict drawing stays inside update; the other kind draws whole dirty
  // controls wherever they are.
  BeforeDrawing(ToDeviceCover(strictDrawing_ ? *update : window));
  if (strictDrawing_) {
    SetDrawRect(*update);
    for (IControl* control : controls_) {
      const IRect& r = control->Rect();
      if (TouchesUpdate(*update, r) && !control->IsHidden()) DrawControl(control);
      // Only a control the update covered is drawn whole. One that became
      // dirty after the dirty rectangles were collected, or that an exposure
      // only overlaps, stays dirty for the next tick. Controls that can never
      // be drawn are cleared, or the editor would never idle.
      if (Covers(*update, r.Intersect(window))) control->ClearDirty();
    }
  } else {
    IControl* background = controls_[0];
    if (background->IsDirty()) {
      SetDrawRect(background->Rect());
      for (size_t i = 0; i < controls_.size(); ++i) {
        IControl* control = controls_[i];
        if (i == 0 || !control->IsHidden()) {
          DrawControl(control);
          control->ClearDirty();
        }
      }
    } else {
      for (size_t i = 1; i < controls_.size(); ++i) {
        IControl* dirty = controls_[i];
        if (!dirty->IsDirty()) continue;
        SetDrawRect(dirty->Rect());
        for (IControl* control : controls_) {
          if (!control->IsHidden() && (control == dirty || control->Rect().Intersects(drawRect_)))
            DrawControl(control);
        }
        dirty->ClearDirty();
      }
    }
  }
  return BlitToScreen(update);
}

bool IGraphics::Redraw(const IDirtyList& list) {
  if (list.Size() == 0) {
    // Only controls without area were dirty: the pass over nothing clears
    // them, as it always has.
    const IRect nothing;
    return Redraw(&nothing);
  }
  bool ok = true;
  for (int i = 0; i < list.Size(); ++i) ok = Redraw(&list[i]) && ok;
  return ok;
}

}  // namespace graphics
