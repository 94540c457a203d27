#include "tests/e2e/vst3/Vst3Fixture.h"

#include <cmath>

namespace e2e {

void Vst3Fixture::SetUp() {
  std::string error;
  ASSERT_TRUE(module_.open(QUILLET_VST3_BUNDLE, &error)) << error;
  ASSERT_TRUE(instance_.open(module_, &error)) << error;
}

void Vst3Fixture::TearDown() {
  instance_.close();
  vst2_.unload();
  module_.close();
}

void Vst3Fixture::openVst2() {
  std::string error;
  ASSERT_EQ(vst2_.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  vst2_.open();
  vst2_.setSampleRate(44100.0f);
  vst2_.setBlockSize(512);
}

std::unique_ptr<vst3host::Vst3Instance> Vst3Fixture::another() {
  std::unique_ptr<vst3host::Vst3Instance> other(new vst3host::Vst3Instance());
  std::string error;
  EXPECT_TRUE(other->open(module_, &error)) << error;
  return other;
}

std::vector<double> Vst3Fixture::values(vst3host::Vst3Instance& instance) {
  std::vector<double> v;
  for (int i = 0; i < kVst3Params; ++i)
    v.push_back(instance.controller()->getParamNormalized(static_cast<vst3::ParamID>(i)));
  return v;
}

double TestSignal(int c, long i) {
  return 0.5 * std::sin(0.01 * static_cast<double>(i) * (c + 1)) +
         0.25 * std::sin(0.0371 * static_cast<double>(i));
}

std::vector<double> Vst3Fixture::render(vst3host::Vst3Instance& instance, int frames, int block) {
  std::vector<double> out;
  std::vector<double> in0(static_cast<std::size_t>(block)), in1(in0), out0(in0), out1(in0);
  for (long done = 0; done < frames;) {
    const int n = static_cast<int>(std::min<long>(block, frames - done));
    for (int i = 0; i < n; ++i) {
      in0[static_cast<std::size_t>(i)] = TestSignal(0, done + i);
      in1[static_cast<std::size_t>(i)] = TestSignal(1, done + i);
    }
    double* ins[2] = {in0.data(), in1.data()};
    double* outs[2] = {out0.data(), out1.data()};
    instance.context().projectTimeSamples = done;
    EXPECT_EQ(instance.processDouble(ins, outs, n), vst3::kResultOk);
    for (int i = 0; i < n; ++i) {
      out.push_back(out0[static_cast<std::size_t>(i)]);
      out.push_back(out1[static_cast<std::size_t>(i)]);
    }
    done += n;
  }
  return out;
}

}  // namespace e2e
