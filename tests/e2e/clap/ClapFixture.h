// The shipped Quillet.clap (QUILLET_CLAP_PATH) loaded by our CLAP host as a
// host loads it, one instance per test; the shipped VST 2 binary
// (QUILLET_PLUGIN_PATH) beside it where a test compares the two formats.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/claphost/ClapPluginHost.h"

namespace e2e_clap {

constexpr int kParamCount = 29;
constexpr int kPresetCount = 10;
constexpr clap::Id kVolume = 0;
constexpr clap::Id kMix = 1;
constexpr clap::Id kGrainMode = 2;

class ShippedClap : public ::testing::Test {
 protected:
  void SetUp() override;

  // A host change outside processing: a PARAM_VALUE event and a flush.
  void setValue(clap::Id id, double value);
  std::vector<std::uint8_t> state();
  // Every parameter's value.
  std::vector<double> values();
  // Activated at 44100 Hz for blocks up to 512, processing.
  void activate();
  // One block of the host's signal in 64-bit buffers; the left output.
  std::vector<double> processBlock(std::uint32_t frames);

  claphost::ClapPluginHost host_;
  std::vector<double> in_[2], out_[2];
};

}  // namespace e2e_clap
