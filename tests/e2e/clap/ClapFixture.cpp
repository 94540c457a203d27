#include "e2e/clap/ClapFixture.h"

#include <cmath>

namespace e2e_clap {

void ShippedClap::SetUp() {
  std::string error;
  ASSERT_TRUE(host_.load(QUILLET_CLAP_PATH, &error)) << error;
  ASSERT_TRUE(host_.create(&error)) << error;
}

void ShippedClap::setValue(clap::Id id, double value) {
  const clap::EventParamValue event = claphost::paramValueEvent(0, id, value);
  host_.input().events().add(&event.header);
  host_.flush();
}

std::vector<std::uint8_t> ShippedClap::state() {
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(host_.saveState(&bytes));
  return bytes;
}

std::vector<double> ShippedClap::values() {
  std::vector<double> v;
  for (int i = 0; i < kParamCount; ++i) v.push_back(host_.paramValue(static_cast<clap::Id>(i)));
  return v;
}

void ShippedClap::activate() {
  ASSERT_TRUE(host_.activate(44100.0, 1, 512));
  ASSERT_TRUE(host_.startProcessing());
}

std::vector<double> ShippedClap::processBlock(std::uint32_t frames) {
  for (int c = 0; c < 2; ++c) {
    in_[c].resize(frames);
    out_[c].assign(frames, 0.0);
    for (std::uint32_t i = 0; i < frames; ++i)
      in_[c][i] = 0.5 * std::sin(0.03 * static_cast<double>(i) * (c + 1));
  }
  double* ins[] = {in_[0].data(), in_[1].data()};
  double* outs[] = {out_[0].data(), out_[1].data()};
  EXPECT_NE(host_.processDouble(ins, outs, frames), clap::kProcessError);
  return out_[0];
}

}  // namespace e2e_clap
