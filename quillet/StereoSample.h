#pragma once

namespace quillet {

// One sample of a stereo signal, the unit that grains record and frames pass on.
struct StereoSample {
  double left;
  double right;
};

}  // namespace quillet
