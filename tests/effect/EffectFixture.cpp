#include "EffectFixture.h"

#include "plug/FourCharCode.h"

#include <cstdio>
#include <mutex>

namespace effect_test {

int StandInEditor::liveCount = 0;

namespace {
std::mutex& HostLock() {
  static std::mutex lock;
  return lock;
}
}  // namespace

void RecordingHost::NotifyHostParamValue(int paramIndex, double normalized) {
  std::lock_guard<std::mutex> hold(HostLock());
  automation.emplace_back(paramIndex, static_cast<float>(normalized));
}

void RecordingHost::NotifyHostDisplayChanged() {
  std::lock_guard<std::mutex> hold(HostLock());
  ++displayUpdates;
}

void EffectTest::SetUp() {
  ASSERT_FALSE(base_.Path().empty());
  SetEnvironment("QUILLET_LOCAL_APPDATA", base_.Path().c_str());
}

void EffectTest::TearDown() { SetEnvironment("QUILLET_LOCAL_APPDATA", nullptr); }

std::unique_ptr<effect::Effect> EffectTest::MakeEffect(int uninitialisedParam) {
  plug::IPlugConfig config;
  config.effectName = "Quillet";
  config.productName = "";
  config.makerName = "Vellum Music";
  config.uniqueId = plug::FourCharCode('v', 'm', 'Q', 'L');
  config.version = 0x00010102;
  config.paramCount = kParams;
  config.presetCount = 10;
  config.channelIO = "2-2";
  auto plugin = std::make_unique<effect::Effect>(config, StandInEditor::Make);
  plugin->SetHostServices(&host_);
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
