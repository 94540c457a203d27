#include "tools/render/AudioFile.h"

#include <sndfile.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "tools/render/FileReplace.h"

namespace render {

namespace {

constexpr int kMaxChannels = 2;
constexpr double kMinRateHz = 1000.0;
constexpr double kMaxRateHz = 768000.0;
constexpr sf_count_t kChunkFrames = 16384;

bool isAcceptedContainer(int format) {
  const int major = format & SF_FORMAT_TYPEMASK;
  return major == SF_FORMAT_WAV || major == SF_FORMAT_WAVEX || major == SF_FORMAT_RF64;
}

bool isAcceptedEncoding(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_DOUBLE:
      return true;
    default:
      return false;
  }
}

// libsndfile shortens a data chunk that runs past the end of the file and
// notes it in its log as "data : <claimed> (should be <real>)".
bool logShowsShortenedData(SNDFILE* file) {
  char log[8192] = {};
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
  for (const char* line = log; line != nullptr && *line != '\0';) {
    const char* end = std::strchr(line, '\n');
    const std::string text(
        line, end != nullptr ? static_cast<std::size_t>(end - line) : std::strlen(line));
    if (text.compare(0, 4, "data") == 0 && text.find("should be") != std::string::npos) {
      return true;
    }
    line = end != nullptr ? end + 1 : nullptr;
  }
  return false;
}

int subformatOf(SampleFormat format) {
  switch (format) {
    case SampleFormat::kFloat64:
      return SF_FORMAT_DOUBLE;
    case SampleFormat::kPcm16:
      return SF_FORMAT_PCM_16;
    case SampleFormat::kPcm24:
      return SF_FORMAT_PCM_24;
    case SampleFormat::kPcm32:
      return SF_FORMAT_PCM_32;
    case SampleFormat::kFloat32:
    default:
      return SF_FORMAT_FLOAT;
  }
}

}  // namespace

bool AudioFile::read(const std::string& path, AudioClip* clip, std::string* errorText) {
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (file == nullptr) {
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr) {
      *errorText = "cannot open the file";
    } else {
      std::fclose(probe);
      *errorText = std::string("not a readable audio file (") + sf_strerror(nullptr) + ")";
    }
    return false;
  }
  std::string problem;
  if (!isAcceptedContainer(info.format)) {
    problem = "not a WAV file";
  } else if (!isAcceptedEncoding(info.format)) {
    problem = "unsupported sample encoding (16/24/32-bit PCM or 32/64-bit float wanted)";
  } else if (info.channels < 1 || info.channels > kMaxChannels) {
    problem = "has " + std::to_string(info.channels) + " channels (1 or 2 wanted)";
  } else if (info.samplerate < kMinRateHz || info.samplerate > kMaxRateHz) {
    problem = "has an unusable sample rate of " + std::to_string(info.samplerate) + " Hz";
  } else if (info.frames <= 0) {
    problem = "contains no audio";
  } else if (logShowsShortenedData(file)) {
    problem = "is truncated (its data chunk runs past the end of the file)";
  }
  if (!problem.empty()) {
    sf_close(file);
    *errorText = problem;
    return false;
  }

  clip->rateHz = info.samplerate;
  clip->channels.assign(info.channels, std::vector<double>(static_cast<std::size_t>(info.frames)));
  std::vector<double> interleaved(static_cast<std::size_t>(kChunkFrames * info.channels));
  sf_count_t done = 0;
  while (done < info.frames) {
    const sf_count_t wanted = info.frames - done < kChunkFrames ? info.frames - done : kChunkFrames;
    const sf_count_t got = sf_readf_double(file, interleaved.data(), wanted);
    if (got <= 0) {
      break;
    }
    for (sf_count_t i = 0; i < got; ++i) {
      for (int c = 0; c < info.channels; ++c) {
        clip->channels[c][static_cast<std::size_t>(done + i)] =
            interleaved[static_cast<std::size_t>(i * info.channels + c)];
      }
    }
    done += got;
  }
  const bool complete = done == info.frames && sf_error(file) == SF_ERR_NO_ERROR;
  sf_close(file);
  if (!complete) {
    *errorText = "is truncated or corrupt (read " + std::to_string(static_cast<long long>(done)) +
                 " of " + std::to_string(static_cast<long long>(info.frames)) + " frames)";
    return false;
  }
  return true;
}

bool AudioFile::write(const std::string& path, const AudioClip& clip, SampleFormat format,
                      std::string* errorText) {
  if (clip.channelCount() < 1) {
    *errorText = "nothing to write";
    return false;
  }
  SF_INFO info;
  std::memset(&info, 0, sizeof info);
  info.samplerate = static_cast<int>(clip.rateHz + 0.5);
  info.channels = clip.channelCount();
  info.format = SF_FORMAT_WAV | subformatOf(format);
  const std::string temporary = temporaryPathFor(path);
  SNDFILE* file = sf_open(temporary.c_str(), SFM_WRITE, &info);
  if (file == nullptr) {
    *errorText = std::string("cannot create the file (") + sf_strerror(nullptr) + ")";
    return false;
  }
  sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);

  const long long frames = clip.frameCount();
  const int channels = clip.channelCount();
  std::vector<double> interleaved(static_cast<std::size_t>(kChunkFrames * channels));
  bool ok = true;
  for (long long start = 0; start < frames && ok; start += kChunkFrames) {
    const long long count = frames - start < kChunkFrames ? frames - start : kChunkFrames;
    for (long long i = 0; i < count; ++i) {
      for (int c = 0; c < channels; ++c) {
        interleaved[static_cast<std::size_t>(i * channels + c)] =
            clip.channels[c][static_cast<std::size_t>(start + i)];
      }
    }
    ok = sf_writef_double(file, interleaved.data(), count) == count;
  }
  if (sf_close(file) != 0) {
    ok = false;
  }
  if (!ok) {
    std::remove(temporary.c_str());
    *errorText = "cannot write the file (disk full or not writable?)";
    return false;
  }
  if (!replaceFile(temporary, path)) {
    *errorText = "cannot move the finished file into place";
    return false;
  }
  return true;
}

bool AudioFile::parseFormat(const std::string& text, SampleFormat* format) {
  struct Named {
    const char* name;
    SampleFormat format;
  };
  static const Named kNames[] = {{"f32", SampleFormat::kFloat32},
                                 {"f64", SampleFormat::kFloat64},
                                 {"pcm16", SampleFormat::kPcm16},
                                 {"pcm24", SampleFormat::kPcm24},
                                 {"pcm32", SampleFormat::kPcm32}};
  for (const Named& entry : kNames) {
    if (text == entry.name) {
      *format = entry.format;
      return true;
    }
  }
  return false;
}

}  // namespace render
