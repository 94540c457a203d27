// The shipped VST 3 bundle loaded by the test host as hosts load it, with the
// shipped VST 2 binary beside it for the cases that compare the two builds.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "tools/vst3host/Vst3Instance.h"
#include "tools/vst3host/Vst3Module.h"
#include "tools/vsthost/PluginHost.h"

namespace e2e {

constexpr int kVst3Params = 29;
constexpr vst3::ParamID kProgramParam = 1000;
constexpr vst3::ParamID kControllerParamBase = 2000;

class Vst3Fixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The VST 2 build, opened at 44100 Hz.
  void openVst2();
  // A fresh second instance of the VST 3 build.
  std::unique_ptr<vst3host::Vst3Instance> another();
  // Every automatable parameter's normalised value.
  std::vector<double> values(vst3host::Vst3Instance& instance);
  // Renders frames of a fixed stereo test signal in blocks of the given
  // size (64-bit), with the instance started at 44100 Hz.
  std::vector<double> render(vst3host::Vst3Instance& instance, int frames, int block);

  vst3host::Vst3Module module_;
  vst3host::Vst3Instance instance_;
  vsthost::PluginHost vst2_;
};

// Sample i of channel c of the test signal.
double TestSignal(int c, long i);

}  // namespace e2e
