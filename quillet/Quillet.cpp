#include "quillet/Quillet.h"

plug::IPlugConfig Quillet::Config() {
  plug::IPlugConfig config;
  config.effectName = "Quillet";
  config.productName = "";
  config.makerName = "Vellum Music";
  config.uniqueId = vst::FourCharCode('v', 'm', 'Q', 'L');
  config.version = 0x00010102;  // 1.1.2
  config.paramCount = kParamCount;
  config.presetCount = kPresetCount;
  config.channelIO = "2-2";
  return config;
}

Quillet::Quillet(vst::HostCallback host) : plug::IPlugVST(Config(), host) {}

Quillet::~Quillet() = default;
