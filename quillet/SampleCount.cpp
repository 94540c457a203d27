#include "quillet/SampleCount.h"

#include <cmath>

namespace quillet {

int SampleCount::FloorClamped(double x) {
  if (!(x > 0.0)) return 0;
  if (x >= static_cast<double>(kMax)) return kMax;
  return static_cast<int>(std::floor(x));
}

}  // namespace quillet
