// Audio in memory: planar double samples, one vector per channel, all of the
// same length, and the sample rate they were taken at.
#pragma once

#include <vector>

namespace render {

struct AudioClip {
  double rateHz = 44100.0;
  std::vector<std::vector<double>> channels;

  int channelCount() const { return static_cast<int>(channels.size()); }
  long long frameCount() const {
    return channels.empty() ? 0 : static_cast<long long>(channels[0].size());
  }
  double seconds() const { return rateHz > 0 ? static_cast<double>(frameCount()) / rateHz : 0.0; }
};

}  // namespace render
