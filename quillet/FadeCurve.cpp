#include "quillet/FadeCurve.h"

#include <cmath>

namespace quillet {

FadeCurve FadeCurve::FromParameter(double p) {
  FadeCurve curve;
  curve.on = p > 0.0;
  curve.exponent = p <= 0.5 ? std::exp2(4.0 - 8.0 * p) : std::exp2(2.0 - 4.0 * p);
  return curve;
}

}  // namespace quillet
