#include "EffectFixture.h"

#include <cstdio>
#include <mutex>

namespace effect_test {

RecordingHost* RecordingHost::current = nullptr;
int StandInEditor::liveCount = 0;

vst::intptr VST_CALL RecordingHost::Callback(vst::AEffect*, vst::int32 opcode, vst::int32 index,
                                             vst::intptr, void*, float opt) {
  RecordingHost* host = current;
  if (host == nullptr) return 0;
  // The plug-in tells the host from several threads at once (outside its own
  // lock), as it may with a real host.
  static std::mutex lock;
  std::lock_guard<std::mutex> hold(lock);
  switch (opcode) {
    case vst::audioMasterVersion:
      return vst::kVstVersion;
    case vst::audioMasterAutomate:
      host->automation.emplace_back(index, opt);
      return 0;
    case vst::audioMasterUpdateDisplay:
      ++host->displayUpdates;
      return 1;
    default:
      return 0;
  }
}

void EffectTest::SetUp() {
  ASSERT_FALSE(base_.Path().empty());
  SetEnvironment("QUILLET_LOCAL_APPDATA", base_.Path().c_str());
  RecordingHost::current = &host_;
}

void EffectTest::TearDown() {
  RecordingHost::current = nullptr;
  SetEnvironment("QUILLET_LOCAL_APPDATA", nullptr);
}

std::unique_ptr<effect::Effect> EffectTest::MakeEffect(int uninitialisedParam) {
  plug::IPlugConfig config;
  config.effectName = "Quillet";
  config.productName = "";
  config.makerName = "Vellum Music";
  config.uniqueId = vst::FourCharCode('v', 'm', 'Q', 'L');
  config.version = 0x00010102;
  config.paramCount = kParams;
  config.presetCount = 10;
  config.channelIO = "2-2";
  auto plugin =
      std::make_unique<effect::Effect>(config, RecordingHost::Callback, StandInEditor::Make);
  for (int i = 0; i < kParams; ++i) {
    if (i == uninitialisedParam) continue;
    char name[16];
    std::snprintf(name, sizeof name, "p%d", i);
    plugin->GetParam(i)->InitContinuous(name, 0.0, 0.0, 1.0, 0.01);
  }
  plugin->AttachEditor(plugin->GetGraphics());
  plugin->SetLearnSwitch(&switch_);
  return plugin;
}

std::string EffectTest::SettingsPath() const {
#ifdef _WIN32
  return base_.Path() + "\\VellumMusic\\quillet.ini";
#else
  return base_.Path() + "/VellumMusic/quillet.ini";
#endif
}

std::string EffectTest::SettingsText() const {
  std::string text;
  if (!ReadFile(SettingsPath(), &text)) return "<unreadable>";
  std::string result;
  for (char c : text) {
    if (c != '\r') result += c;
  }
  return result;
}

void EffectTest::WriteSettings(const std::string& text) const {
  MakeFolder(base_.Join("VellumMusic"));
  ASSERT_TRUE(WriteFile(SettingsPath(), text));
}

}  // namespace effect_test
