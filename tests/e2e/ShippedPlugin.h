// Test fixture for the end-to-end tests: the shipped plug-in binary
// (QUILLET_PLUGIN_PATH) loaded by the test host, one instance per test.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "plug/vst2/VstAbi.h"
#include "tools/vsthost/PluginHost.h"

namespace e2e {

constexpr vst::int32 kNumParams = 29;
constexpr vst::int32 kNumPresets = 10;
constexpr vst::int32 kVersion = 10102;
constexpr vst::int32 kMixParam = 1;

class ShippedPlugin : public ::testing::Test {
 protected:
  ShippedPlugin();
  ~ShippedPlugin() override;

  // Loads the binary and creates an instance (assertion failure otherwise).
  void SetUp() override;

  // effOpen, 44100 Hz, the given block size, resumed.
  void openAndResume(vst::int32 blockFrames);
  // Mix fully dry: the product's output is then its input times the volume
  // (1 by default) exactly, so audio tests can compare samples one to one
  // whatever the engine does with the wet signal.
  void makeDry();
  // The normalised value of every parameter.
  std::vector<float> parameterValues();

  // effClose and a fresh instance from the loaded binary, opened.
  void recreate();

  vsthost::PluginHost plugin_;
};

}  // namespace e2e
