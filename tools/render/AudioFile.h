// WAV files through libsndfile.
//
// Reading accepts WAV (also WAVE_FORMAT_EXTENSIBLE and RF64) holding 8/16/24/
// 32-bit integer or 32/64-bit float samples, one or two channels. Integer
// samples come back scaled to -1..1. A file whose data chunk claims more bytes
// than the file holds (a truncated download, an interrupted recording) is
// refused rather than silently shortened.
//
// Writing goes to a temporary file beside the target that replaces it only
// once every sample is written and the file is closed, so a failed write
// never leaves a half-written file under the requested name.
#pragma once

#include <string>

#include "tools/render/AudioClip.h"

namespace render {

enum class SampleFormat { kFloat32, kFloat64, kPcm16, kPcm24, kPcm32 };

class AudioFile {
 public:
  // Reads the whole file. On failure returns false with a one-line reason
  // (without the path) in errorText.
  static bool read(const std::string& path, AudioClip* clip, std::string* errorText);

  // Writes clip as a WAV file. Integer formats clip at full scale.
  static bool write(const std::string& path, const AudioClip& clip, SampleFormat format,
                    std::string* errorText);

  // "f32", "f64", "pcm16", "pcm24", "pcm32"; false for anything else.
  static bool parseFormat(const std::string& text, SampleFormat* format);
};

}  // namespace render
