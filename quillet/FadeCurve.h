#pragma once

namespace quillet {

// The shape of one fade of a grain or frame envelope, made from a fade control
// value p in 0..1:
//
//   p       0 (off)   0.25   0.5 (linear)   0.75   1
//   exponent  -        4      1              0.5    0.25
//
// The exponent is 2^(4 - 8p) up to p = 0.5 and 2^(2 - 4p) above, so a small p
// gives a steep, short fade and p = 1 the longest one. A value of 0 or less
// switches the fade off (the envelope stays at 1 on that side).
struct FadeCurve {
  bool on = false;
  double exponent = 0.0;

  static FadeCurve FromParameter(double p);
};

}  // namespace quillet
