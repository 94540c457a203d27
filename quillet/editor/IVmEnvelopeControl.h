// A picture of a grain's or a frame's envelope: from the bottom left it rises
// to 90 % of the height at the skew position and falls back to the bottom
// right; the fade-in and fade-out parameters bend the rise and the fall.
// A display only: it binds no parameter, and the product redraws it whenever
// one of its three parameters changes.
#pragma once

#include "graphics/controls/IControl.h"

namespace quillet {

class IVmEnvelopeControl : public graphics::IControl {
 public:
  // kGrainShape shows Grain Fade-In, Skew and Fade-Out; any other identifier
  // the frame's three.
  static constexpr int kGrainShape = -30;
  static constexpr int kFrameShape = -31;

  IVmEnvelopeControl(plug::IPlugBase* plugin, const graphics::IRect& rect, int identifier);

  bool Draw(graphics::IGraphics* graphics) override;

  void SetLine(const graphics::IArgb& colour, const graphics::IBlend& blend);
  // The curve's exponent for a fade value 0..1: 16 at 0, 1 at 0.5, 0.25 at 1.
  static double Curvature(double fade);
  // The envelope's level (0..1) at t in 0..1 for normalised fade-in, skew and
  // fade-out.
  static double Level(double t, double fadeIn, double skew, double fadeOut);

 private:
  int fadeInParam_;
  int skewParam_;
  int fadeOutParam_;
  graphics::IArgb lineColour_;
  graphics::IBlend lineBlend_;
};

}  // namespace quillet
