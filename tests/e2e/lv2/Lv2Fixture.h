// The shipped LV2 bundle (QUILLET_LV2_BUNDLE) in our lilv host, as a host
// loads it: one instance at 44100 Hz in blocks of at most kBlock, activated.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/lv2host/Lv2Host.h"

namespace e2e {

constexpr const char* kQuilletUri = "https://vellum-music.com/plugins/quillet";
constexpr const char* kStateKey = "https://vellum-music.com/plugins/quillet#state";
constexpr const char* kAtomChunk = "http://lv2plug.in/ns/ext/atom#Chunk";

// Two channels of float audio, the test signal of the e2e tests.
struct StereoBuffers {
  explicit StereoBuffers(int frames);
  std::vector<float> in[2], out[2];
  const float* inputs[2];
  float* outputs[2];
  // Points the host's pointers frames into the buffers.
  void at(int frame);
};

class Lv2Instance : public ::testing::Test {
 protected:
  static constexpr int kBlock = 512;
  static constexpr double kRate = 44100.0;

  void SetUp() override;
  // A second instance of the same bundle, activated.
  static void Open(lv2host::Lv2Host* host, bool withFeatures = true);
  // The instance's whole state through its state interface.
  static std::vector<std::uint8_t> StateBytes(lv2host::Lv2Host* host);
  // frames of the test signal through host in runs of at most kBlock; the
  // left output.
  static std::vector<float> Render(lv2host::Lv2Host* host, int frames);

  lv2host::Lv2Host host_;
};

}  // namespace e2e
