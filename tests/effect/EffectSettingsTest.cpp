// The effect base and its settings file: first use, persistence between
// instances, and files that are damaged, hostile or out of reach. In the
// Windows builds the file goes through the system's profile functions.
#include <gtest/gtest.h>

#include <climits>

#include "EffectFixture.h"

namespace {

using effect_test::EffectTest;

using EffectSettingsTest = EffectTest;

TEST_F(EffectSettingsTest, FirstUseCreatesTheFolderAndAnEmptyFile) {
  auto plugin = MakeEffect();
  EXPECT_EQ(plugin->GetSettingsPath(), SettingsPath());
  EXPECT_TRUE(effect_test::IsFile(SettingsPath()));
  EXPECT_EQ(SettingsText(), "");
  for (int c = 0; c < 120; ++c)
    EXPECT_EQ(plugin->GetControllerMap().ParamFor(c), -1) << "controller " << c;
}

TEST_F(EffectSettingsTest, LaterInstancesSeeEarlierSavesAndTheLastSaveWins) {
  auto first = MakeEffect();
  switch_.Click(*first);
  first->HandleControlChange(7, 1);
  Touch(*first, 3);

  // Built after the save: sees it.
  effect_test::StandInLearnSwitch secondSwitch;
  auto second = MakeEffect();
  second->SetLearnSwitch(&secondSwitch);
  EXPECT_EQ(second->GetControllerMap().ParamFor(7), 3);

  // Running instances keep their own copy.
  secondSwitch.Click(*second);
  second->HandleControlChange(9, 1);
  Touch(*second, 4);
  EXPECT_EQ(first->GetControllerMap().ParamFor(9), -1);

  switch_.Click(*first);
  first->HandleControlChange(10, 1);
  Touch(*first, 5);
  EXPECT_EQ(SettingsText(), "[MIDI Control]\nCC7=3\nCC10=5\n");

  auto third = MakeEffect();
  EXPECT_EQ(third->GetControllerMap().ParamFor(7), 3);
  EXPECT_EQ(third->GetControllerMap().ParamFor(9), -1);
  EXPECT_EQ(third->GetControllerMap().ParamFor(10), 5);
}

TEST_F(EffectSettingsTest, HostileContentsGiveSafeAssignments) {
  WriteSettings(
      "[Other]\r\nCC1=1\r\n"
      "[MIDI Control]\r\n"
      "CC0=letters\r\n"
      "CC1=\r\n"
      "CC2=07\r\n"
      "CC3=40\r\n"
      "CC4=" +
      std::string(80, '9') +
      "\r\n"
      "CC5=-2147483649\r\n"
      "CC6=-7\r\n"
      "CC120=1\r\n"
      "CC-1=1\r\n"
      "CC1000=1\r\n"
      "garbage line\r\n"
      "[Trailing\r\n");
  auto plugin = MakeEffect();
  const effect::ControllerMap& map = plugin->GetControllerMap();
  EXPECT_EQ(map.ParamFor(0), -1);
  EXPECT_EQ(map.ParamFor(1), -1);
  EXPECT_EQ(map.ParamFor(2), 7);
  EXPECT_EQ(map.ParamFor(3), 40);
  EXPECT_EQ(map.ParamFor(4), INT_MAX);
  EXPECT_EQ(map.ParamFor(5), INT_MIN);
  EXPECT_EQ(map.ParamFor(6), -7);

  // Only the valid assignment drives anything; numbers outside 0..119 never.
  for (int controller = -1; controller < 130; ++controller)
    plugin->HandleControlChange(controller, 127);
  for (int i = 0; i < 29; ++i)
    EXPECT_EQ(plugin->GetParam(i)->Value(), i == 7 ? 1.0 : 0.0) << "parameter " << i;

  // A learn keeps the other entries as they were and leaves the rest of the
  // file alone.
  switch_.Click(*plugin);
  plugin->HandleControlChange(10, 1);
  Touch(*plugin, 8);
  auto reloaded = MakeEffect();
  EXPECT_EQ(reloaded->GetControllerMap().ParamFor(2), 7);
  EXPECT_EQ(reloaded->GetControllerMap().ParamFor(3), 40);
  EXPECT_EQ(reloaded->GetControllerMap().ParamFor(4), INT_MAX);
  EXPECT_EQ(reloaded->GetControllerMap().ParamFor(10), 8);
  EXPECT_NE(SettingsText().find("[Other]\nCC1=1\n"), std::string::npos) << SettingsText();
}

TEST_F(EffectSettingsTest, MissingSectionMeansNoAssignments) {
  WriteSettings("[Something Else]\r\nCC7=3\r\n");
  auto plugin = MakeEffect();
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);
}

TEST_F(EffectSettingsTest, AnUnreadableFileIsSilentAndLearningStillWorksInMemory) {
  // A folder stands where the file should be.
  ASSERT_TRUE(effect_test::MakeFolder(base_.Join("VellumMusic")));
  ASSERT_TRUE(effect_test::MakeFolder(SettingsPath()));
  auto plugin = MakeEffect();
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);
  switch_.Click(*plugin);
  plugin->HandleControlChange(7, 1);
  Touch(*plugin, 3);
  EXPECT_FALSE(plugin->IsLearnActive());
  EXPECT_EQ(switch_.value, 0.0);
  plugin->HandleControlChange(7, 127);
  EXPECT_EQ(plugin->GetParam(3)->Value(), 1.0);
  EXPECT_TRUE(effect_test::IsFolder(SettingsPath()));
}

TEST_F(EffectSettingsTest, AnUnknownSettingsFolderIsSilent) {
  const std::string tooLong = base_.Path() + std::string(1100, 'x');
  effect_test::SetEnvironment("QUILLET_LOCAL_APPDATA", tooLong.c_str());
  auto plugin = MakeEffect();
  EXPECT_EQ(plugin->GetSettingsPath(), "");
  switch_.Click(*plugin);
  plugin->HandleControlChange(7, 1);
  Touch(*plugin, 3);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), 3);
}

}  // namespace
