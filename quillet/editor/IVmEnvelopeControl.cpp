#include "quillet/editor/IVmEnvelopeControl.h"

#include <cmath>

#include "graphics/IGraphics.h"
#include "plug/IPlugBase.h"
#include "quillet/Quillet.h"

namespace quillet {

namespace {
constexpr double kHeightShare = 0.9;  // the apex, as a share of the height
}  // namespace

IVmEnvelopeControl::IVmEnvelopeControl(plug::IPlugBase* plugin, const graphics::IRect& rect,
                                       int identifier)
    : IControl(plugin, rect, identifier) {
  const bool grain = identifier == kGrainShape;
  fadeInParam_ = grain ? quillet::kGrainFadeIn : quillet::kFrameFadeIn;
  skewParam_ = grain ? quillet::kGrainSkew : quillet::kFrameSkew;
  fadeOutParam_ = grain ? quillet::kGrainFadeOut : quillet::kFrameFadeOut;
}

void IVmEnvelopeControl::SetLine(const graphics::IArgb& colour, const graphics::IBlend& blend) {
  lineColour_ = colour;
  lineBlend_ = blend;
}

double IVmEnvelopeControl::Curvature(double fade) {
  return fade <= 0.5 ? std::pow(2.0, 4.0 * (1.0 - 2.0 * fade)) : std::pow(2.0, 4.0 * (0.5 - fade));
}

double IVmEnvelopeControl::Level(double t, double fadeIn, double skew, double fadeOut) {
  if (t < skew) {
    if (fadeIn <= 0.0) return 1.0;
    return 1.0 - std::pow(1.0 - t / skew, Curvature(fadeIn));
  }
  // A skew of 1 leaves no fall: the top runs to the end.
  if (fadeOut <= 0.0 || skew >= 1.0) return 1.0;
  return 1.0 - std::pow((t - skew) / (1.0 - skew), Curvature(fadeOut));
}

bool IVmEnvelopeControl::Draw(graphics::IGraphics* graphics) {
  const plug::IParameter* fi = plugin_ ? plugin_->GetParam(fadeInParam_) : nullptr;
  const plug::IParameter* sk = plugin_ ? plugin_->GetParam(skewParam_) : nullptr;
  const plug::IParameter* fo = plugin_ ? plugin_->GetParam(fadeOutParam_) : nullptr;
  if (!fi || !sk || !fo) return true;
  const double fadeIn = fi->NormalizedValue();
  const double skew = sk->NormalizedValue();
  const double fadeOut = fo->NormalizedValue();
  // One segment per device pixel of the width, as sharp at every scale: the
  // points are computed in device pixels and handed over in logical ones.
  const double scale = graphics->Scale();
  const int left = graphics->ToDevice(rect_.left);
  const int right = graphics->ToDevice(rect_.right);
  const int bottom = graphics->ToDevice(rect_.bottom);
  const int w = right - left;
  if (w <= 0) return true;
  const double step = 1.0 / w;
  const double h = (bottom - graphics->ToDevice(rect_.top)) * kHeightShare;
  float prevX = static_cast<float>(left / scale);
  float prevY = static_cast<float>(bottom / scale);
  double t = 0.0;
  for (int i = 0; i < w - 1; ++i, t += step) {
    const float x = static_cast<float>((left + i) / scale);
    const float y = static_cast<float>((bottom - Level(t, fadeIn, skew, fadeOut) * h) / scale);
    graphics->DrawLine(&lineColour_, prevX, prevY, x, y, &lineBlend_);
    prevX = x;
    prevY = y;
  }
  graphics->DrawLine(&lineColour_, prevX, prevY, static_cast<float>(right / scale),
                     static_cast<float>(bottom / scale), &lineBlend_);
  return true;
}

}  // namespace quillet
