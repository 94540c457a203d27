// MIDI learn and unlearn through the effect base: the switch, controller and
// parameter events in every order, and what controllers do afterwards.
#include <gtest/gtest.h>

#include "EffectFixture.h"

namespace {

using effect_test::EffectTest;
using effect_test::StandInEditor;

using EffectLearnTest = EffectTest;

TEST_F(EffectLearnTest, ControllerThenParameterAssignsSavesAndTurnsTheSwitchOff) {
  WriteSettings("[MIDI Control]\r\nCC1=5\r\nCC7=9\r\n");
  auto plugin = MakeEffect();
  switch_.Click(*plugin);
  ASSERT_TRUE(plugin->IsLearnActive());

  plugin->HandleControlChange(7, 100);
  EXPECT_TRUE(host_.automation.empty()) << "a captured controller changes no parameter";
  EXPECT_EQ(plugin->GetParam(9)->Value(), 0.0);
  EXPECT_TRUE(plugin->IsLearnActive());
  Touch(*plugin, 3);

  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), 3);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(1), 5);
  EXPECT_FALSE(plugin->IsLearnActive());
  EXPECT_EQ(switch_.value, 0.0);
  EXPECT_EQ(switch_.dirtyPushes, 1);
  EXPECT_EQ(SettingsText(), "[MIDI Control]\nCC1=5\nCC7=3\n");
}

TEST_F(EffectLearnTest, ParameterThenControllerGivesTheSameResult) {
  auto plugin = MakeEffect();
  switch_.Click(*plugin);
  Touch(*plugin, 3);
  EXPECT_TRUE(plugin->IsLearnActive());
  plugin->HandleControlChange(7, 0);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), 3);
  EXPECT_FALSE(plugin->IsLearnActive());
  EXPECT_EQ(switch_.value, 0.0);
  EXPECT_EQ(SettingsText(), "[MIDI Control]\nCC7=3\n");
}

TEST_F(EffectLearnTest, TheLatestControllerAndTheLatestParameterCount) {
  auto plugin = MakeEffect();
  switch_.Click(*plugin);
  plugin->HandleControlChange(7, 1);
  plugin->HandleControlChange(8, 1);
  plugin->HandleControlChange(9, 1);
  Touch(*plugin, 4);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(9), 4);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(8), -1);

  switch_.Click(*plugin);
  plugin->OnParamChanged(10);
  plugin->OnParamChanged(11);
  plugin->OnParamChanged(12);
  plugin->HandleControlChange(20, 1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(20), 12);
}

TEST_F(EffectLearnTest, LearningAParameterTakesItFromItsPreviousController) {
  WriteSettings("[MIDI Control]\r\nCC1=3\r\nCC2=4\r\n");
  auto plugin = MakeEffect();
  switch_.Click(*plugin);
  plugin->HandleControlChange(7, 1);
  Touch(*plugin, 3);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(1), -1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), 3);
  EXPECT_EQ(SettingsText(), "[MIDI Control]\nCC2=4\nCC7=3\n");
}

TEST_F(EffectLearnTest, UnlearnByControllerClearsOnlyThatController) {
  WriteSettings("[MIDI Control]\r\nCC7=3\r\nCC8=3\r\n");
  auto plugin = MakeEffect();
  switch_.learnMode = false;
  switch_.Click(*plugin);
  ASSERT_TRUE(plugin->IsUnlearnMode());
  plugin->HandleControlChange(7, 64);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(8), 3);
  EXPECT_FALSE(plugin->IsLearnActive());
  EXPECT_FALSE(plugin->IsUnlearnMode());
  EXPECT_EQ(switch_.value, 0.0);
  EXPECT_TRUE(host_.automation.empty());
  EXPECT_EQ(SettingsText(), "[MIDI Control]\nCC8=3\n");
}

TEST_F(EffectLearnTest, UnlearnByParameterClearsEveryControllerDrivingIt) {
  WriteSettings("[MIDI Control]\r\nCC7=3\r\nCC8=3\r\nCC9=4\r\n");
  auto plugin = MakeEffect();
  switch_.learnMode = false;
  switch_.Click(*plugin);
  Touch(*plugin, 3);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(8), -1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(9), 4);
  EXPECT_EQ(SettingsText(), "[MIDI Control]\nCC9=4\n");
}

TEST_F(EffectLearnTest, TurningTheSwitchOffByHandEndsWithoutSaving) {
  WriteSettings("[MIDI Control]\r\nCC1=2\r\n");
  auto plugin = MakeEffect();
  const std::string before = SettingsText();
  switch_.Click(*plugin);
  plugin->HandleControlChange(7, 1);
  switch_.Click(*plugin);
  EXPECT_FALSE(plugin->IsLearnActive());
  Touch(*plugin, 3);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);
  EXPECT_EQ(SettingsText(), before);

  // Switched on again, nothing captured before counts.
  switch_.Click(*plugin);
  Touch(*plugin, 5);
  EXPECT_TRUE(plugin->IsLearnActive());
  plugin->HandleControlChange(9, 1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(9), 5);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);
}

TEST_F(EffectLearnTest, ParameterIndicesOutsideThePluginAreNeverCaptured) {
  auto plugin = MakeEffect();
  switch_.Click(*plugin);
  plugin->OnParamChanged(-1);
  plugin->OnParamChanged(29);
  plugin->OnParamChanged(1 << 30);
  plugin->HandleControlChange(7, 1);
  EXPECT_TRUE(plugin->IsLearnActive());
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);
  Touch(*plugin, 28);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), 28);
}

TEST_F(EffectLearnTest, ActivationDuringLearnCountsAsTouchingEveryParameter) {
  auto plugin = MakeEffect();
  // No controller yet: every parameter is captured in turn, the last stays.
  switch_.Click(*plugin);
  plugin->OnActivation(true);
  EXPECT_TRUE(plugin->IsLearnActive());
  plugin->HandleControlChange(7, 1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), 28);

  // A controller already captured: parameter 0 finishes at once.
  switch_.Click(*plugin);
  plugin->HandleControlChange(8, 1);
  plugin->OnActivation(true);
  EXPECT_FALSE(plugin->IsLearnActive());
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(8), 0);

  // Unlearn: parameter 0 finishes too.
  switch_.learnMode = false;
  switch_.Click(*plugin);
  plugin->OnActivation(true);
  EXPECT_FALSE(plugin->IsLearnActive());
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(8), -1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), 28);

  // Deactivation touches nothing.
  switch_.learnMode = true;
  switch_.Click(*plugin);
  plugin->OnActivation(false);
  plugin->HandleControlChange(9, 1);
  EXPECT_TRUE(plugin->IsLearnActive());
}

TEST_F(EffectLearnTest, ControllerValuesMapOntoTheWholeNormalisedRange) {
  WriteSettings("[MIDI Control]\r\nCC7=3\r\n");
  auto plugin = MakeEffect();
  StandInEditor* editor = EditorOf(*plugin);
  const struct {
    int value;
    double normalized;
  } cases[] = {{127, 1.0}, {0, 0.0}, {64, 64.0 / 127.0}, {1, 1.0 / 127.0}};
  for (const auto& c : cases) {
    host_.automation.clear();
    editor->shown.clear();
    plugin->HandleControlChange(7, c.value);
    EXPECT_DOUBLE_EQ(plugin->GetParam(3)->NormalizedValue(), c.normalized) << "value " << c.value;
    ASSERT_EQ(host_.automation.size(), 1u) << "value " << c.value;
    EXPECT_EQ(host_.automation[0].first, 3);
    EXPECT_FLOAT_EQ(host_.automation[0].second, static_cast<float>(c.normalized));
    ASSERT_EQ(editor->shown.size(), 1u);
    EXPECT_EQ(editor->shown[0].paramIndex, 3);
    EXPECT_DOUBLE_EQ(editor->shown[0].value, c.normalized);
    EXPECT_TRUE(editor->shown[0].normalized);
  }
}

TEST_F(EffectLearnTest, AControllerThatChangesNothingNotifiesNobody) {
  WriteSettings("[MIDI Control]\r\nCC7=3\r\n");
  auto plugin = MakeEffect();
  plugin->HandleControlChange(7, 64);
  host_.automation.clear();
  EditorOf(*plugin)->shown.clear();
  plugin->HandleControlChange(7, 64);
  EXPECT_TRUE(host_.automation.empty());
  EXPECT_TRUE(EditorOf(*plugin)->shown.empty());
}

TEST_F(EffectLearnTest, ControllersAbove119AreNeverLearned) {
  auto plugin = MakeEffect();
  switch_.Click(*plugin);
  plugin->HandleControlChange(120, 1);
  plugin->HandleControlChange(127, 1);
  Touch(*plugin, 3);
  EXPECT_TRUE(plugin->IsLearnActive()) << "no controller was captured";
  plugin->HandleControlChange(119, 1);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(119), 3);
}

TEST_F(EffectLearnTest, RegisteringTheSwitchEndsAnyModeAndLearningNeedsNoSwitch) {
  auto plugin = MakeEffect();
  switch_.Click(*plugin);
  plugin->HandleControlChange(7, 1);
  effect_test::StandInLearnSwitch another;
  plugin->SetLearnSwitch(&another);
  EXPECT_FALSE(plugin->IsLearnActive());
  Touch(*plugin, 3);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), -1);

  plugin->SetLearnSwitch(nullptr);
  plugin->SetMidiLearn(true, false);
  plugin->HandleControlChange(7, 1);
  Touch(*plugin, 3);
  EXPECT_EQ(plugin->GetControllerMap().ParamFor(7), 3);
  EXPECT_FALSE(plugin->IsLearnActive());
}

// A binding sets the mode of the instance that processes (its editor works
// elsewhere): learning then runs as from the switch, and the mode reads back
// as it changes; the switch shows it. Modes that name nothing change nothing.
TEST_F(EffectLearnTest, ABindingSetsTheModeAndReadsItBack) {
  auto plugin = MakeEffect();
  plugin->OnHostMidiLearn(plug::kMidiLearnOn);
  EXPECT_EQ(plugin->GetMidiLearnMode(), plug::kMidiLearnOn);
  EXPECT_EQ(switch_.value, 1.0);
  plugin->OnHostMidiLearn(7);
  EXPECT_EQ(plugin->GetMidiLearnMode(), plug::kMidiLearnOn);
  plugin->HandleControlChange(7, 1);
  Touch(*plugin, 3);
  EXPECT_EQ(plugin->GetMidiLearnMode(), plug::kMidiLearnOff);
  EXPECT_EQ(switch_.value, 0.0);
  EXPECT_EQ(SettingsText(), "[MIDI Control]\nCC7=3\n");

  plugin->OnHostMidiLearn(plug::kMidiUnlearnOn);
  EXPECT_EQ(plugin->GetMidiLearnMode(), plug::kMidiUnlearnOn);
  Touch(*plugin, 3);
  EXPECT_EQ(plugin->GetMidiLearnMode(), plug::kMidiLearnOff);
  EXPECT_EQ(SettingsText(), "[MIDI Control]\n");
}

// The editor's own instance where the binding learns elsewhere: the switch's
// modes go to the binding, the instance never captures nor saves (its map is
// older than the processing instance's), and a mode from the binding is only
// shown.
TEST_F(EffectLearnTest, AnEditorThatLearnsElsewherePassesTheModeAndNeverSaves) {
  WriteSettings("[MIDI Control]\r\nCC1=5\r\n");
  host_.learnsElsewhere = true;
  auto plugin = MakeEffect();
  WriteSettings("[MIDI Control]\r\nCC1=5\r\nCC2=6\r\n");  // the processing side learned
  switch_.Click(*plugin);
  EXPECT_EQ(host_.passedLearnModes, (std::vector<int>{plug::kMidiLearnOn}));
  EXPECT_EQ(plugin->GetMidiLearnMode(), plug::kMidiLearnOff);
  plugin->HandleControlChange(7, 1);
  Touch(*plugin, 3);
  switch_.Click(*plugin);
  switch_.learnMode = false;
  switch_.Click(*plugin);
  Touch(*plugin, 5);
  EXPECT_EQ(host_.passedLearnModes,
            (std::vector<int>{plug::kMidiLearnOn, plug::kMidiLearnOff, plug::kMidiUnlearnOn}));
  EXPECT_EQ(SettingsText(), "[MIDI Control]\nCC1=5\nCC2=6\n");

  plugin->OnHostMidiLearn(plug::kMidiLearnOff);
  EXPECT_EQ(switch_.value, 0.0);
  plugin->OnHostMidiLearn(plug::kMidiLearnOn);
  EXPECT_EQ(switch_.value, 1.0);
  EXPECT_EQ(plugin->GetMidiLearnMode(), plug::kMidiLearnOff);
}

}  // namespace
