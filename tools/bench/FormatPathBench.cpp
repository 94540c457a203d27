// The cost of a plug-in format's process path: the same audio, notes and
// parameter changes through the shipped VST 2 binary (processReplacing /
// processDoubleReplacing, setParameter) or the shipped VST 3 bundle (process
// with parameter queues and note events), in blocks of 512 at 44100 Hz.
// Under callgrind (tools/bench-vst3-callgrind.sh) only the host's block loop
// is counted, so instructions per stereo sample compare the two paths.
//
//   quillet-vst3-bench --format vst2|vst3 --plugin PATH [--midi8] [--float]
//                        [--changes] [--seconds S]
#include <valgrind/callgrind.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/vst3host/Vst3Instance.h"
#include "tools/vst3host/Vst3Module.h"
#include "tools/vsthost/HostEvent.h"
#include "tools/vsthost/PluginHost.h"

namespace {

constexpr int kBlock = 512;
constexpr double kRateHz = 44100.0;
constexpr int kMidiProgram = 3;      // "MIDI Standard"
constexpr int kPolyphonyParam = 17;  // MIDI Polyphony: 1.0 is eight voices
constexpr int kMixParam = 1;

struct Options {
  std::string format = "vst3";
  std::string plugin;
  bool midi8 = false;
  bool single = false;
  bool changes = false;
  double seconds = 1.0;
};

struct Signal {
  std::vector<float> f[2];
  std::vector<double> d[2];
  std::vector<float> fo[2];
  std::vector<double> dout[2];
  Signal() {
    for (int c = 0; c < 2; ++c) {
      f[c].resize(kBlock);
      d[c].resize(kBlock);
      fo[c].resize(kBlock);
      dout[c].resize(kBlock);
      for (int i = 0; i < kBlock; ++i) {
        d[c][i] = 0.5 * ((i * (c + 3)) % 97) / 97.0 - 0.25;
        f[c][i] = static_cast<float>(d[c][i]);
      }
    }
  }
};

double MixAt(int block) { return (block % 2) ? 0.5 : 0.75; }

int RunVst2(const Options& o, int blocks) {
  vsthost::PluginHost plugin;
  std::string error;
  if (plugin.load(o.plugin, &error) != vsthost::LoadStatus::kLoaded) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  plugin.open();
  plugin.setSampleRate(static_cast<float>(kRateHz));
  plugin.setBlockSize(kBlock);
  if (o.midi8) {
    plugin.dispatch(vst::effSetProgram, 0, kMidiProgram);
    plugin.setParameter(kPolyphonyParam, 1.0f);
  }
  plugin.resume();
  if (o.midi8) {
    std::vector<vsthost::HostEvent> notes;
    for (int n = 0; n < 8; ++n) notes.push_back(vsthost::HostEvent::midi(0, 0x90, 48 + 3 * n, 100));
    plugin.sendEvents(notes);
  }
  Signal s;
  float* fi[2] = {s.f[0].data(), s.f[1].data()};
  float* fo[2] = {s.fo[0].data(), s.fo[1].data()};
  double* di[2] = {s.d[0].data(), s.d[1].data()};
  double* dout[2] = {s.dout[0].data(), s.dout[1].data()};
  CALLGRIND_TOGGLE_COLLECT;
  for (int b = 0; b < blocks; ++b) {
    if (o.changes) plugin.setParameter(kMixParam, static_cast<float>(MixAt(b)));
    if (o.single)
      plugin.processReplacing(fi, fo, kBlock);
    else
      plugin.processDoubleReplacing(di, dout, kBlock);
  }
  CALLGRIND_TOGGLE_COLLECT;
  plugin.suspend();
  return 0;
}

int RunVst3(const Options& o, int blocks) {
  vst3host::Vst3Module module;
  vst3host::Vst3Instance instance;
  std::string error;
  if (!module.open(o.plugin, &error) || !instance.open(module, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  if (o.midi8) {
    instance.controller()->setParamNormalized(1000, kMidiProgram / 9.0);
    instance.controller()->setParamNormalized(kPolyphonyParam, 1.0);
  }
  if (!instance.start(kRateHz, kBlock, !o.single, vst3::kRealtime)) return 2;
  instance.setContextEnabled(false);
  if (o.midi8) {
    instance.changes().add(kPolyphonyParam, 0, 1.0);
    for (int n = 0; n < 8; ++n) instance.events().noteOn(0, 0, 48 + 3 * n, 100 / 127.0f);
  }
  Signal s;
  float* fi[2] = {s.f[0].data(), s.f[1].data()};
  float* fo[2] = {s.fo[0].data(), s.fo[1].data()};
  double* di[2] = {s.d[0].data(), s.d[1].data()};
  double* dout[2] = {s.dout[0].data(), s.dout[1].data()};
  CALLGRIND_TOGGLE_COLLECT;
  for (int b = 0; b < blocks; ++b) {
    if (o.changes) instance.changes().add(kMixParam, 0, static_cast<float>(MixAt(b)));
    if (o.single)
      instance.processFloat(fi, fo, kBlock);
    else
      instance.processDouble(di, dout, kBlock);
  }
  CALLGRIND_TOGGLE_COLLECT;
  instance.stop();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--format" && i + 1 < argc)
      o.format = argv[++i];
    else if (a == "--plugin" && i + 1 < argc)
      o.plugin = argv[++i];
    else if (a == "--midi8")
      o.midi8 = true;
    else if (a == "--float")
      o.single = true;
    else if (a == "--changes")
      o.changes = true;
    else if (a == "--seconds" && i + 1 < argc)
      o.seconds = std::atof(argv[++i]);
  }
  if (o.plugin.empty() || (o.format != "vst2" && o.format != "vst3")) {
    std::fprintf(stderr,
                 "usage: %s --format vst2|vst3 --plugin PATH [--midi8] [--float] "
                 "[--changes] [--seconds S]\n",
                 argv[0]);
    return 1;
  }
  const int blocks = static_cast<int>(o.seconds * kRateHz / kBlock);
  const int status = o.format == "vst2" ? RunVst2(o, blocks) : RunVst3(o, blocks);
  if (status == 0) std::printf("samples %d\n", blocks * kBlock);
  return status;
}
