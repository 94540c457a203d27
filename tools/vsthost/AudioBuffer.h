// Planar audio buffers for driving a plug-in: one vector per channel and the
// pointer array the process entries take.
#pragma once

#include <vector>

namespace vsthost {

template <typename Sample>
class AudioBuffer {
 public:
  AudioBuffer(int channels, int frames)
      : data_(channels > 0 ? channels : 0, std::vector<Sample>(frames > 0 ? frames : 0)),
        pointers_(data_.size()) {
    for (std::size_t c = 0; c < data_.size(); ++c) {
      pointers_[c] = data_[c].data();
    }
  }
  virtual ~AudioBuffer() = default;

  AudioBuffer(const AudioBuffer&) = delete;
  AudioBuffer& operator=(const AudioBuffer&) = delete;

  int channels() const { return static_cast<int>(data_.size()); }
  int frames() const { return data_.empty() ? 0 : static_cast<int>(data_[0].size()); }

  Sample* channel(int index) { return data_[index].data(); }
  const Sample* channel(int index) const { return data_[index].data(); }
  const std::vector<Sample>& samples(int index) const { return data_[index]; }
  // The array handed to the plug-in.
  Sample** pointers() { return pointers_.data(); }

  void fill(Sample value) {
    for (std::vector<Sample>& channelData : data_) {
      for (Sample& sample : channelData) {
        sample = value;
      }
    }
  }

 private:
  std::vector<std::vector<Sample>> data_;
  std::vector<Sample*> pointers_;
};

}  // namespace vsthost
