// Prints the cost of the granular engine per stereo sample at 48 kHz in blocks
// of 512, for four configurations: a single frame in M.SEC mode (program
// "default"), FREQ mode with fades and overlaps (program "Frequency"), tempo
// sync with a running transport (program "Sync 2 Host") and MIDI mode with
// eight sounding voices ("MIDI Standard" at polyphony 8).
//
//   quillet-engine-bench [--seconds S] [--repeats N] [--only NAME]
//
// Wall times on a shared machine move by tens of percent: each figure is the
// best of N runs. For repeatable figures run tools/bench-callgrind.sh, which
// counts instructions per sample with this program under callgrind.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "quillet/GrainEngine.h"
#include "quillet/NoteFrequencyTable.h"

namespace {

constexpr double kSampleRateHz = 48000.0;
constexpr int kBlockFrames = 512;

struct Configuration {
  const char* name;
  double values[quillet::kUsedParamCount];
  int voices;  // notes held in MIDI mode
};

// Parameter values 0 to 21 in host order (see quillet/ParamIndex.h).
const Configuration kConfigurations[] = {
    {"default", {1, 1, 0, 20, 10, 110, 0, 0, 0, 0, 160, 10, 0, 0, 0, 0, 0, 4, 0, 0, 1, 0.05}, 0},
    {"Frequency",
     {1, 1, 2, 20, 10, 110, 0, 0.2, 0, 0.2, 50, 10, 0, 50, 0, 0, 0, 4, 0, 0, 1, 0.05},
     0},
    {"Sync 2 Host", {1, 1, 1, 20, 4, 110, 0, 0, 0, 0, 160, 10, 1, 0, 0, 0, 0, 4, 0, 0, 1, 0.05}, 0},
    {"MIDI 8 voices",
     {1, 1, 3, 20, 10, 110, 0, 0.2, 0, 0.2, 50, 10, 0, 50, 0, 0, 0, 8, 0, 0, 1, 0.05},
     8},
};

// Runs `frames` samples of a fixed signal through a freshly set up engine and
// returns the seconds spent in Process.
double Run(const Configuration& c, int frames) {
  quillet::GrainEngine engine;
  engine.Reset(kSampleRateHz);
  for (int i = 0; i < quillet::kUsedParamCount; ++i) engine.SetParameter(i, c.values[i]);
  for (int v = 0; v < c.voices; ++v) {
    const int note = 48 + 5 * v;
    engine.NoteOn(note, quillet::NoteFrequencyTable::FrequencyHz(note));
  }

  std::vector<double> inL(kBlockFrames), inR(kBlockFrames);
  std::vector<double> outL(kBlockFrames), outR(kBlockFrames);
  double* in[2] = {inL.data(), inR.data()};
  double* out[2] = {outL.data(), outR.data()};
  quillet::HostTempo tempo;
  tempo.tempoBpm = 120.0;
  tempo.samplePosition = 0.0;

  double seconds = 0.0;
  double sink = 0.0;
  for (int done = 0; done < frames; done += kBlockFrames) {
    for (int i = 0; i < kBlockFrames; ++i) {
      const double t = (done + i) / kSampleRateHz;
      inL[i] = 0.5 * std::sin(2.0 * 3.141592653589793 * 220.0 * t);
      inR[i] = 0.4 * std::sin(2.0 * 3.141592653589793 * 331.0 * t);
    }
    const auto start = std::chrono::steady_clock::now();
    engine.Process(in, out, kBlockFrames, tempo);
    const auto stop = std::chrono::steady_clock::now();
    seconds += std::chrono::duration<double>(stop - start).count();
    tempo.samplePosition += kBlockFrames;  // a running transport
    sink += outL[0] + outR[kBlockFrames - 1];
  }
  if (!std::isfinite(sink)) std::printf("(non-finite output)\n");
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  double audioSeconds = 10.0;
  int repeats = 5;
  const char* only = nullptr;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0)
      audioSeconds = std::atof(argv[i + 1]);
    else if (std::strcmp(argv[i], "--repeats") == 0)
      repeats = std::atoi(argv[i + 1]);
    else if (std::strcmp(argv[i], "--only") == 0)
      only = argv[i + 1];
  }
  if (audioSeconds <= 0.0 || repeats < 1) {
    std::fprintf(stderr, "usage: %s [--seconds S] [--repeats N] [--only NAME]\n", argv[0]);
    return 2;
  }
  const int blocks = static_cast<int>(audioSeconds * kSampleRateHz / kBlockFrames) + 1;
  const int frames = blocks * kBlockFrames;

  std::printf("%-14s %10s %12s %14s\n", "configuration", "samples", "ns/sample", "% of a core");
  for (const Configuration& c : kConfigurations) {
    if (only && std::strcmp(only, c.name) != 0) continue;
    double best = 1e30;
    for (int r = 0; r < repeats; ++r) {
      const double s = Run(c, frames);
      if (s < best) best = s;
    }
    const double nsPerSample = best * 1e9 / frames;
    std::printf("%-14s %10d %12.1f %14.3f\n", c.name, frames, nsPerSample,
                nsPerSample * kSampleRateHz * 1e-7);
  }
  return 0;
}
