// The effect base's services besides MIDI learn: construction, enumerated
// parameters, preset switching and ownership of the graphics object.
#include "effect/Effect.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "EffectFixture.h"

namespace {

using effect_test::EffectTest;
using effect_test::StandInEditor;

TEST_F(EffectTest, LabelsTheFirstTwoChannelsWithTheEffectName) {
  auto plugin = MakeEffect();
  ASSERT_EQ(plugin->NInChannels(), 2);
  ASSERT_EQ(plugin->NOutChannels(), 2);
  // The bindings show them as pin or port names.
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(plugin->InputChannel(i)->label, "Quillet ") << "input " << i;
    EXPECT_EQ(plugin->OutputChannel(i)->label, "Quillet ") << "output " << i;
  }
}

TEST_F(EffectTest, ConstructionLeavesTheHostsLocaleAlone) {
  // A host in a decimal-comma locale where one is installed.
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "C.UTF-8"}) {
    if (std::setlocale(LC_ALL, name) != nullptr) break;
  }
  const std::string before = std::setlocale(LC_ALL, nullptr);
  auto plugin = MakeEffect();
  const std::string after = std::setlocale(LC_ALL, nullptr);
  std::setlocale(LC_ALL, "C");
  EXPECT_EQ(after, before);
}

TEST_F(EffectTest, EnumeratedParameterTakesItsTextsRangeAndDefault) {
  // A parameter never initialised before.
  auto plugin = MakeEffect(0);
  const char* const modes[] = {"Milliseconds", "Tempo", "Frequency", "MIDI"};
  plug::IParameter* fresh = plugin->GetParam(0);
  plugin->InitEnumParam(0, "Mode", 2, 4, modes);
  EXPECT_EQ(fresh->Kind(), plug::ParamKind::Enumeration);
  EXPECT_STREQ(fresh->Name(), "Mode");
  EXPECT_EQ(fresh->Min(), 0.0);
  EXPECT_EQ(fresh->Max(), 3.0);
  EXPECT_EQ(fresh->Value(), 2.0);
  EXPECT_STREQ(fresh->UnitLabel(), "");
  for (int i = 0; i < 4; ++i) EXPECT_STREQ(fresh->FindValueText(i), modes[i]);
  // Values snap to whole steps.
  fresh->SetFromNormalized(0.4);
  EXPECT_EQ(fresh->Value(), 1.0);
  char text[plug::IParameter::kTextCapacity];
  fresh->FormatValue(fresh->Value(), false, text, true);
  EXPECT_STREQ(text, "Tempo");

  // Nothing happens for an index naming no parameter or an empty list.
  plugin->InitEnumParam(29, "Out", 0, 4, modes);
  plugin->InitEnumParam(-1, "Out", 0, 4, modes);
  plugin->InitEnumParam(1, "Empty", 0, 0, modes);
  plugin->InitEnumParam(1, "Null", 0, 2, nullptr);
  EXPECT_STREQ(plugin->GetParam(1)->Name(), "p1");
}

TEST_F(EffectTest, SelectingAPresetKeepsTheEditsOfThePreviousOne) {
  auto plugin = MakeEffect();
  plugin->MakeDefaultPresets("Empty", plugin->NPresets());
  ASSERT_EQ(plugin->GetCurrentPresetIdx(), 0);
  Touch(*plugin, 2, 0.75);
  host_.automation.clear();
  host_.displayUpdates = 0;

  plugin->SelectPreset(1);
  EXPECT_EQ(plugin->GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plugin->GetParam(2)->Value(), 0.0);
  EXPECT_EQ(host_.displayUpdates, 1);
  ASSERT_EQ(host_.automation.size(), 29u) << "every parameter goes to the host";
  EXPECT_EQ(host_.automation[2], std::make_pair(2, 0.0f));
  EXPECT_STREQ(plugin->GetPresetName(0), "Empty");

  plugin->SelectPreset(0);
  EXPECT_DOUBLE_EQ(plugin->GetParam(2)->Value(), 0.75);
}

TEST_F(EffectTest, SelectingAPresetThatDoesNotExistChangesNothing) {
  auto plugin = MakeEffect();
  plugin->MakeDefaultPresets("Empty", plugin->NPresets());
  Touch(*plugin, 2, 0.75);
  host_.automation.clear();
  for (int index : {-1, 10, 1 << 30}) plugin->SelectPreset(index);
  EXPECT_EQ(plugin->GetCurrentPresetIdx(), 0);
  EXPECT_DOUBLE_EQ(plugin->GetParam(2)->Value(), 0.75);
  EXPECT_TRUE(host_.automation.empty());
  EXPECT_EQ(host_.displayUpdates, 0);
}

TEST_F(EffectTest, TheGraphicsObjectIsDeletedOnceWhetherAttachedOrNot) {
  ASSERT_EQ(StandInEditor::liveCount, 0);
  {
    auto attached = MakeEffect();  // attaches its editor
    plug::IPlugConfig config = plug::IPlugConfig();
    config.effectName = "Quillet";
    config.productName = "";
    config.makerName = "Vellum Music";
    config.paramCount = 29;
    config.presetCount = 10;
    config.channelIO = "2-2";
    effect::Effect unattached(config, StandInEditor::Make);
    EXPECT_EQ(StandInEditor::liveCount, 2);
  }
  EXPECT_EQ(StandInEditor::liveCount, 0);
}

}  // namespace
