// IGraphics: the editor's scale, where it comes from, and the conversions
// between logical and device pixels.
#include <algorithm>
#include <cmath>

#include "graphics/BitmapCache.h"
#include "graphics/IGraphics.h"
#include "lice/LICE_IBitmap.h"
#include "plug/IPlugBase.h"

namespace graphics {

namespace {

bool IsStep(int percent) {
  for (int step : IGraphics::kScaleSteps) {
    if (percent == step) return true;
  }
  return false;
}

// Rounds down for negative values too (positions left of the window).
int FloorDiv(long long a, long long b) {
  long long q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int>(q);
}

}  // namespace

int IGraphics::SnapScalePercent(double percent) {
  if (!std::isfinite(percent) || percent <= 0) return 0;
  int best = kScaleSteps[0];
  for (int step : kScaleSteps) {
    // Steps ascend, so a tie moves to the larger one.
    if (std::fabs(percent - step) <= std::fabs(percent - best)) best = step;
  }
  return best;
}

int IGraphics::DevicePixels(int logical, int percent) {
  // As the artwork preview places everything: logical x scale, rounded (half
  // up), exact in integers. Every device pixel from here to the next logical
  // pixel's maps back to this one (ToLogical), at each step.
  const long long twice = 2LL * logical * percent + 100;
  return FloorDiv(twice, 200);
}

IRect IGraphics::ToDevice(const IRect& r) const {
  if (r.Empty() || scalePercent_ == 100) return r;
  return IRect(ToDevice(r.left), ToDevice(r.top), ToDevice(r.right), ToDevice(r.bottom));
}

IRect IGraphics::ToDeviceCover(const IRect& r) const {
  if (r.Empty() || scalePercent_ % 100 == 0) return ToDevice(r);
  const IRect d = ToDevice(r);
  return IRect(d.left, d.top, std::min(d.right + 1, DeviceWidth()),
               std::min(d.bottom + 1, DeviceHeight()));
}

int IGraphics::ToLogical(int device) const {
  if (scalePercent_ == 100) return device;
  return FloorDiv(100LL * device, scalePercent_);
}

IRect IGraphics::ToLogicalCover(const IRect& device) const {
  if (device.Empty() || scalePercent_ == 100) return device;
  return IRect(ToLogical(device.left), ToLogical(device.top),
               -FloorDiv(-100LL * device.right, scalePercent_),
               -FloorDiv(-100LL * device.bottom, scalePercent_));
}

int IGraphics::Width() const {
  const int percent = requestedPercent_ ? requestedPercent_
                      : IsWindowOpen()  ? scalePercent_
                                        : WantedScalePercent();
  return DevicePixels(width_, percent);
}

int IGraphics::Height() const {
  const int percent = requestedPercent_ ? requestedPercent_
                      : IsWindowOpen()  ? scalePercent_
                                        : WantedScalePercent();
  return DevicePixels(height_, percent);
}

bool IGraphics::SetHostScale(double scale) {
  if (!std::isfinite(scale) || scale <= 0 || scale > 8) return false;
  hostPercent_ = SnapScalePercent(scale * 100);
  ApplyScale();
  return true;
}

void IGraphics::SetUserScalePercent(int percent) {
  userPercent_ = IsStep(percent) ? percent : 0;
  ApplyScale();
}

int IGraphics::WantedScalePercent() const {
  if (userPercent_) return userPercent_;
  if (hostPercent_) return hostPercent_;
  const int system = SnapScalePercent(SystemScalePercent());
  return system ? system : 100;
}

bool IGraphics::ApplyScale() {
  const int want = WantedScalePercent();
  if (want == scalePercent_) {
    refusedPercent_ = 0;
    return true;
  }
  if (IsWindowOpen()) {
    if (want == refusedPercent_) return false;
    requestedPercent_ = want;
    const bool accepted = !plugin_ || plugin_->RequestEditorResize(DevicePixels(width_, want),
                                                                   DevicePixels(height_, want));
    requestedPercent_ = 0;
    if (!accepted) {
      refusedPercent_ = want;
      return false;
    }
  }
  refusedPercent_ = 0;
  EndGesture();
  ReleaseMouseState();
  mouseOverIndex_ = -1;
  scalePercent_ = want;
  scaledBitmaps_.clear();
  PrepareDrawing();
  drawRect_ = IRect(0, 0, width_, height_);
  deviceClip_ = ToDeviceCover(drawRect_);
  MarkAllDirty();
  OnScaleChanged();
  return true;
}

LICE_IBitmap* IGraphics::ScaledBitmap(const IFrameStrip* strip) {
  if (scalePercent_ == 100 || !strip->bitmap || strip->id <= 0) return strip->bitmap;
  for (const auto& entry : scaledBitmaps_) {
    if (entry.first == strip->id) return entry.second;
  }
  const int id = ScaledResourceId(strip->id, scalePercent_);
  LICE_IBitmap* bitmap = nullptr;
  if (!BitmapCache::Find(id, &bitmap)) {
    bitmap = BitmapCache::Insert(id, LoadPlatformBitmap(id, "scaled.png"));
  }
  scaledBitmaps_.emplace_back(strip->id, bitmap);
  return bitmap;
}

}  // namespace graphics
