#include "e2e/lv2/Lv2Fixture.h"

#include <cmath>

namespace e2e {

StereoBuffers::StereoBuffers(int frames) {
  for (int c = 0; c < 2; ++c) {
    in[c].resize(static_cast<std::size_t>(frames));
    out[c].assign(static_cast<std::size_t>(frames), 0.0f);
    // Two detuned saws with a slow swell: every grain hears something.
    for (int i = 0; i < frames; ++i)
      in[c][static_cast<std::size_t>(i)] = static_cast<float>(
          0.4 * std::sin(i * 0.0001) * (std::fmod(i * (0.01 + c * 0.001), 2.0) - 1.0));
  }
  at(0);
}

void StereoBuffers::at(int frame) {
  for (int c = 0; c < 2; ++c) {
    inputs[c] = in[c].data() + frame;
    outputs[c] = out[c].data() + frame;
  }
}

void Lv2Instance::SetUp() { Open(&host_); }

void Lv2Instance::Open(lv2host::Lv2Host* host, bool withFeatures) {
  std::string error;
  ASSERT_TRUE(host->load(QUILLET_LV2_BUNDLE, kQuilletUri, &error)) << error;
  ASSERT_TRUE(host->instantiate(kRate, kBlock, withFeatures, &error)) << error;
  host->activate();
}

std::vector<std::uint8_t> Lv2Instance::StateBytes(lv2host::Lv2Host* host) {
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(host->saveProperty(kStateKey, &bytes));
  return bytes;
}

std::vector<float> Lv2Instance::Render(lv2host::Lv2Host* host, int frames) {
  StereoBuffers buffers(frames);
  for (int done = 0; done < frames; done += kBlock) {
    buffers.at(done);
    host->run(buffers.inputs, buffers.outputs, std::min(kBlock, frames - done));
  }
  return buffers.out[0];
}

}  // namespace e2e
