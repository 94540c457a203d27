// The Quillet plug-in: a granular effect with two inputs and two outputs.
#pragma once

#include "plug/IPlugVST.h"

class Quillet : public plug::IPlugVST {
 public:
  static constexpr int kParamCount = 29;
  static constexpr int kPresetCount = 10;

  explicit Quillet(vst::HostCallback host);
  ~Quillet() override;

  // Identity fixed at build time.
  static plug::IPlugConfig Config();
};
