// WAV files checked against an independent reader and writer: sox writes the
// inputs and reads our outputs. Built natively only (sox is a Linux program).
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "tools/render/AudioFile.h"

namespace {

using render::AudioClip;
using render::AudioFile;
using render::SampleFormat;

class AudioFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(std::system("sox --version >/dev/null 2>&1"), 0)
        << "sox is not installed (scripts/setup.sh installs it)";
    dir_ = ::testing::TempDir() + "render-audio-" + std::to_string(::getpid()) + "/";
    ASSERT_EQ(std::system(("mkdir -p " + dir_).c_str()), 0);
  }
  void TearDown() override {
    if (!dir_.empty()) std::system(("rm -rf " + dir_).c_str());
  }

  // Interleaved doubles of a file as sox reads it.
  std::vector<double> soxSamples(const std::string& path) {
    const std::string raw = path + ".raw";
    EXPECT_EQ(std::system(("sox -V1 " + path + " -t f64 " + raw).c_str()), 0);
    std::ifstream in(raw, std::ios::binary);
    std::vector<double> samples;
    double value;
    while (in.read(reinterpret_cast<char*>(&value), sizeof value)) samples.push_back(value);
    return samples;
  }

  std::string dir_;
};

// A clip every format can hold exactly: multiples of 2^-15 inside -1..1.
AudioClip exactClip(int channels, double rateHz) {
  AudioClip clip;
  clip.rateHz = rateHz;
  clip.channels.assign(channels, std::vector<double>(1000));
  for (int c = 0; c < channels; ++c) {
    for (int i = 0; i < 1000; ++i) {
      clip.channels[c][i] = std::round(std::sin(i * 0.05 + c) * 30000.0) / 32768.0;
    }
  }
  return clip;
}

TEST_F(AudioFileTest, ReadsWhatSoxWritesInEveryAcceptedEncoding) {
  struct Encoding {
    const char* soxArgs;
    double tolerance;
  };
  const Encoding encodings[] = {{"-b 16 -e signed-integer", 1.0 / 32768},
                                {"-b 24 -e signed-integer", 1.0 / 8388608},
                                {"-b 32 -e signed-integer", 1e-9},
                                {"-b 32 -e floating-point", 1e-7},
                                {"-b 64 -e floating-point", 0.0}};
  for (int channels : {1, 2}) {
    for (const Encoding& encoding : encodings) {
      const std::string path = dir_ + "in.wav";
      const std::string command = "sox -V1 -n -r 48000 -c " + std::to_string(channels) + " " +
                                  encoding.soxArgs + " " + path +
                                  " synth 0.1 sine 441 sine 1000 gain -3";
      ASSERT_EQ(std::system(command.c_str()), 0) << command;
      AudioClip clip;
      std::string error;
      ASSERT_TRUE(AudioFile::read(path, &clip, &error)) << encoding.soxArgs << ": " << error;
      EXPECT_EQ(clip.rateHz, 48000.0);
      ASSERT_EQ(clip.channelCount(), channels);
      ASSERT_EQ(clip.frameCount(), 4800);
      const std::vector<double> reference = soxSamples(path);
      ASSERT_EQ(reference.size(), static_cast<std::size_t>(4800 * channels));
      double worst = 0.0;
      for (int i = 0; i < 4800; ++i) {
        for (int c = 0; c < channels; ++c) {
          worst = std::max(worst, std::abs(clip.channels[c][i] - reference[i * channels + c]));
        }
      }
      EXPECT_LE(worst, encoding.tolerance) << encoding.soxArgs << ", " << channels << " channels";
    }
  }
}

TEST_F(AudioFileTest, WritesWhatSoxReadsBackInEveryOutputFormat) {
  const SampleFormat formats[] = {SampleFormat::kFloat32, SampleFormat::kFloat64,
                                  SampleFormat::kPcm16, SampleFormat::kPcm24, SampleFormat::kPcm32};
  const AudioClip clip = exactClip(2, 44100.0);
  for (SampleFormat format : formats) {
    const std::string path = dir_ + "out.wav";
    std::string error;
    ASSERT_TRUE(AudioFile::write(path, clip, format, &error)) << error;
    const std::vector<double> samples = soxSamples(path);
    ASSERT_EQ(samples.size(), 2000u) << static_cast<int>(format);
    for (int i = 0; i < 1000; ++i) {
      ASSERT_EQ(samples[i * 2], clip.channels[0][i]) << "format " << static_cast<int>(format);
      ASSERT_EQ(samples[i * 2 + 1], clip.channels[1][i]) << "format " << static_cast<int>(format);
    }
  }
}

TEST_F(AudioFileTest, RefusesBrokenAndUnsuitableFiles) {
  const std::string good = dir_ + "good.wav";
  ASSERT_EQ(std::system(("sox -V1 -n -r 44100 -c 2 -b 16 " + good + " synth 0.5 sine 300").c_str()),
            0);
  struct Case {
    const char* what;
    std::string command;  // makes dir_/case.wav
    const char* message;
  };
  const std::string bad = dir_ + "case.wav";
  const Case cases[] = {
      {"truncated data", "head -c 50000 " + good + " > " + bad, "truncated"},
      {"header only", "head -c 30 " + good + " > " + bad, "not a readable audio file"},
      {"not audio", "echo 'hello, not a wave file' > " + bad, "not a readable audio file"},
      {"empty", ": > " + bad, "not a readable audio file"},
      {"four channels", "sox -V1 -n -r 44100 -c 4 -b 16 " + bad + " synth 0.1 sine 300",
       "4 channels"},
      {"no samples", "sox -V1 -n -r 44100 -c 2 -b 16 " + bad + " trim 0 0", "no audio"},
      {"AIFF", "sox -V1 -n -r 44100 -c 2 -t aiff " + bad + " synth 0.1 sine 300", "not a WAV file"},
      {"A-law", "sox -V1 -n -r 8000 -c 1 -e a-law " + bad + " synth 0.1 sine 300", "encoding"},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(std::system(c.command.c_str()), 0) << c.what;
    AudioClip clip;
    std::string error;
    EXPECT_FALSE(AudioFile::read(bad, &clip, &error)) << c.what;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
  }
  AudioClip clip;
  std::string error;
  EXPECT_FALSE(AudioFile::read(dir_ + "missing.wav", &clip, &error));
  EXPECT_EQ(error, "cannot open the file");
}

TEST_F(AudioFileTest, LeavesNothingBehindWhenTheTargetCannotBeWritten) {
  const std::string path = dir_ + "no-such-folder/out.wav";
  std::string error;
  EXPECT_FALSE(AudioFile::write(path, exactClip(1, 44100.0), SampleFormat::kFloat32, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(std::system(("test -z \"$(ls -A " + dir_ + ")\"").c_str()), 0);
  // A successful write replaces an older file completely.
  const std::string target = dir_ + "replace.wav";
  { std::ofstream(target) << "old contents that are not audio"; }
  ASSERT_TRUE(AudioFile::write(target, exactClip(1, 22050.0), SampleFormat::kPcm16, &error))
      << error;
  AudioClip back;
  ASSERT_TRUE(AudioFile::read(target, &back, &error)) << error;
  EXPECT_EQ(back.rateHz, 22050.0);
  EXPECT_EQ(std::system(("test $(ls " + dir_ + " | wc -l) -eq 1").c_str()), 0);
}

}  // namespace
