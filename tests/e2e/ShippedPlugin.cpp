#include "ShippedPlugin.h"

namespace e2e {

ShippedPlugin::ShippedPlugin() = default;
ShippedPlugin::~ShippedPlugin() = default;

void ShippedPlugin::SetUp() {
  std::string error;
  ASSERT_EQ(plugin_.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
}

void ShippedPlugin::openAndResume(vst::int32 blockFrames) {
  plugin_.open();
  plugin_.setSampleRate(44100.0f);
  plugin_.setBlockSize(blockFrames);
  plugin_.resume();
}

void ShippedPlugin::makeDry() { plugin_.setParameter(kMixParam, 0.0f); }

std::vector<float> ShippedPlugin::parameterValues() {
  std::vector<float> values;
  for (vst::int32 i = 0; i < kNumParams; ++i) {
    values.push_back(plugin_.getParameter(i));
  }
  return values;
}

void ShippedPlugin::recreate() {
  plugin_.destroyInstance();
  std::string error;
  ASSERT_EQ(plugin_.createInstance(&error), vsthost::LoadStatus::kLoaded) << error;
  plugin_.open();
}

}  // namespace e2e
