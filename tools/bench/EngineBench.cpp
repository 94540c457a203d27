// Prints what the granular engine costs, in two tables.
//
// Time: nanoseconds per stereo sample at 48 kHz in blocks of 512, for four
// configurations: a single frame in M.SEC mode (program "default"), FREQ mode
// with fades and overlaps (program "Frequency"), tempo sync with a running
// transport (program "Sync 2 Host") and MIDI mode with eight sounding voices
// ("MIDI Standard" at polyphony 8). Wall times on a shared machine move by tens
// of percent: each figure is the best of N runs. For repeatable figures run
// tools/bench-callgrind.sh, which counts instructions per sample with this
// program under callgrind.
//
// Memory: resident bytes per instance, for one and for ten instances, in each
// Grain Mode at 44.1 and 192 kHz, after the instances have played: 10 seconds
// in M.SEC, SYNC and FREQ (one frame lifetime fills what a grain writes), a
// minute of eight voices whose notes change every quarter of a second, over the
// whole piano range, in MIDI. "M.SEC 2 s" is the largest a single frame can
// write: 2-second grains with 50 % overlap. Beside it, the address space per
// instance.
//
//   quillet-engine-bench [--section time|memory] [--seconds S] [--repeats N]
//                        [--only NAME] [--memory-seconds S]
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "quillet/GrainEngine.h"
#include "quillet/NoteFrequencyTable.h"
#include "tools/bench/ProcessMemory.h"

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

// The M.SEC configuration that writes the most: 2-second grains, 50 % grain
// overlap, 5-second frames.
const Configuration kLongestGrains = {
    "M.SEC 2 s",
    {1, 1, 0, 2000, 10, 110, 50, 0, 0, 0, 5000, 10, 0, 0, 0, 0, 0, 4, 0, 0, 1, 0.05},
    0};

// The configurations of the memory table, one per Grain Mode and the longest
// grains; the MIDI one plays a changing chord of eight voices.
const Configuration* const kMemoryConfigurations[] = {&kConfigurations[0], &kConfigurations[2],
                                                      &kConfigurations[1], &kConfigurations[3],
                                                      &kLongestGrains};
const char* const kMemoryLabels[] = {"M.SEC", "SYNC", "FREQ", "MIDI", "M.SEC 2 s"};

// An engine set up as configuration `c` at `rateHz`, holding c.voices notes.
std::unique_ptr<quillet::GrainEngine> MakeEngine(const Configuration& c, double rateHz) {
  std::unique_ptr<quillet::GrainEngine> engine(new quillet::GrainEngine);
  engine->Reset(rateHz);
  for (int i = 0; i < quillet::kUsedParamCount; ++i) engine->SetParameter(i, c.values[i]);
  for (int v = 0; v < c.voices; ++v) {
    const int note = 48 + 5 * v;
    engine->NoteOn(note, quillet::NoteFrequencyTable::FrequencyHz(note));
  }
  return engine;
}

// One block of the fixed test signal, starting at sample `done`.
struct TestBlock {
  std::vector<double> inL = std::vector<double>(kBlockFrames);
  std::vector<double> inR = std::vector<double>(kBlockFrames);
  std::vector<double> outL = std::vector<double>(kBlockFrames);
  std::vector<double> outR = std::vector<double>(kBlockFrames);
  double* in[2] = {inL.data(), inR.data()};
  double* out[2] = {outL.data(), outR.data()};

  void Fill(long long done, double rateHz) {
    for (int i = 0; i < kBlockFrames; ++i) {
      const double t = static_cast<double>(done + i) / rateHz;
      inL[i] = 0.5 * std::sin(2.0 * 3.141592653589793 * 220.0 * t);
      inR[i] = 0.4 * std::sin(2.0 * 3.141592653589793 * 331.0 * t);
    }
  }
};

// Runs `frames` samples of a fixed signal through a freshly set up engine and
// returns the seconds spent in Process.
double Run(const Configuration& c, int frames) {
  std::unique_ptr<quillet::GrainEngine> engine = MakeEngine(c, kSampleRateHz);
  TestBlock block;
  quillet::HostTempo tempo;
  tempo.tempoBpm = 120.0;
  tempo.samplePosition = 0.0;

  double seconds = 0.0;
  double sink = 0.0;
  for (int done = 0; done < frames; done += kBlockFrames) {
    block.Fill(done, kSampleRateHz);
    const auto start = std::chrono::steady_clock::now();
    engine->Process(block.in, block.out, kBlockFrames, tempo);
    const auto stop = std::chrono::steady_clock::now();
    seconds += std::chrono::duration<double>(stop - start).count();
    tempo.samplePosition += kBlockFrames;  // a running transport
    sink += block.outL[0] + block.outR[kBlockFrames - 1];
  }
  if (!std::isfinite(sink)) std::printf("(non-finite output)\n");
  return seconds;
}

struct MemoryPerInstance {
  double residentBytes;
  double reservedBytes;
};

// Memory the instances add to the process, per instance, after `seconds` of
// playing. In MIDI mode every quarter of a second one held note is released
// and a new one played, walking over notes 21 to 108 (the piano's range) in
// steps of seven, so eight voices sound all along.
MemoryPerInstance MeasureMemory(const Configuration& c, double rateHz, int instances,
                                double seconds) {
  TestBlock block;
  bench::ProcessMemory before, after;
  bench::ProcessMemory::Read(&before);

  std::vector<std::unique_ptr<quillet::GrainEngine>> engines;
  for (int n = 0; n < instances; ++n) engines.push_back(MakeEngine(c, rateHz));
  quillet::HostTempo tempo;
  tempo.tempoBpm = 120.0;
  tempo.samplePosition = 0.0;
  const long long frames = static_cast<long long>(seconds * rateHz);
  const long long noteStepFrames = static_cast<long long>(0.25 * rateHz);
  int held[8];
  for (int v = 0; v < c.voices && v < 8; ++v) held[v] = 48 + 5 * v;
  int nextNote = 21, step = 0;
  long long nextChange = noteStepFrames;
  for (long long done = 0; done < frames; done += kBlockFrames) {
    if (c.voices > 0 && done >= nextChange) {
      const int slot = step++ % c.voices;
      for (auto& engine : engines) {
        engine->NoteOff(held[slot]);
        engine->NoteOn(nextNote, quillet::NoteFrequencyTable::FrequencyHz(nextNote));
      }
      held[slot] = nextNote;
      nextNote = 21 + (nextNote - 21 + 7) % 88;
      nextChange += noteStepFrames;
    }
    block.Fill(done, rateHz);
    for (auto& engine : engines) engine->Process(block.in, block.out, kBlockFrames, tempo);
    tempo.samplePosition += kBlockFrames;
  }

  bench::ProcessMemory::Read(&after);
  return {(static_cast<double>(after.residentBytes) - static_cast<double>(before.residentBytes)) /
              instances,
          (static_cast<double>(after.reservedBytes) - static_cast<double>(before.reservedBytes)) /
              instances};
}

void PrintTimes(double audioSeconds, int repeats, const char* only) {
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
}

// secondsOverride <= 0: 60 seconds in MIDI mode, 10 in the others.
void PrintMemory(double secondsOverride) {
  std::printf("\n%-10s %8s %10s %14s %14s\n", "mode", "rate", "instances", "MB resident",
              "MB reserved");
  const double rates[] = {44100.0, 192000.0};
  const int counts[] = {1, 10};
  // Not printed: the first measurement also grows the process's own heap.
  MeasureMemory(*kMemoryConfigurations[0], rates[0], 1, 0.1);
  for (int m = 0; m < static_cast<int>(sizeof kMemoryLabels / sizeof kMemoryLabels[0]); ++m) {
    const Configuration& c = *kMemoryConfigurations[m];
    const double seconds = secondsOverride > 0.0 ? secondsOverride : (c.voices > 0 ? 60.0 : 10.0);
    for (double rateHz : rates) {
      for (int count : counts) {
        const MemoryPerInstance memory = MeasureMemory(c, rateHz, count, seconds);
        std::printf("%-10s %8.0f %10d %14.2f %14.2f\n", kMemoryLabels[m], rateHz, count,
                    memory.residentBytes * 1e-6, memory.reservedBytes * 1e-6);
        std::fflush(stdout);
      }
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
#ifdef __GLIBC__
  // Large blocks straight from the system and back to it when freed, so the
  // memory of one measurement does not linger into the next.
  mallopt(M_MMAP_THRESHOLD, 64 * 1024);
#endif
  double audioSeconds = 10.0;
  double memorySeconds = 0.0;
  int repeats = 5;
  const char* only = nullptr;
  const char* section = nullptr;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--seconds") == 0)
      audioSeconds = std::atof(argv[i + 1]);
    else if (std::strcmp(argv[i], "--repeats") == 0)
      repeats = std::atoi(argv[i + 1]);
    else if (std::strcmp(argv[i], "--only") == 0)
      only = argv[i + 1];
    else if (std::strcmp(argv[i], "--section") == 0)
      section = argv[i + 1];
    else if (std::strcmp(argv[i], "--memory-seconds") == 0)
      memorySeconds = std::atof(argv[i + 1]);
  }
  const bool times = !section || std::strcmp(section, "time") == 0;
  const bool memory = !section || std::strcmp(section, "memory") == 0;
  if (audioSeconds <= 0.0 || repeats < 1 || (!times && !memory)) {
    std::fprintf(stderr,
                 "usage: %s [--section time|memory] [--seconds S] [--repeats N] [--only NAME]\n"
                 "       [--memory-seconds S]\n",
                 argv[0]);
    return 2;
  }
  if (times) PrintTimes(audioSeconds, repeats, only);
  if (memory) PrintMemory(memorySeconds);
  return 0;
}
