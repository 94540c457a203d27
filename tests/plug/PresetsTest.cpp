#include <gtest/gtest.h>

#include <string>

#include "TestPlug.h"

using testplug::TestPlug;

TEST(Presets, EmptySlotsBecomeNumberedUserPresets) {
  TestPlug p;
  EXPECT_STREQ(p.GetPresetName(0), "empty");
  ASSERT_TRUE(p.RestorePreset(4));
  EXPECT_STREQ(p.GetPresetName(4), "user preset 1");
  p.GetPreset(7)->SetName("my user preset");
  ASSERT_TRUE(p.RestorePreset(2));
  EXPECT_STREQ(p.GetPresetName(2), "user preset 3");
  EXPECT_EQ(p.GetCurrentPresetIdx(), 2);
  EXPECT_FALSE(p.RestorePreset(10));
  EXPECT_FALSE(p.RestorePreset(-1));
  EXPECT_EQ(p.GetCurrentPresetIdx(), 2);
}

TEST(Presets, ProgramChangeKeepsTheLiveStateOfTheProgramLeft) {
  TestPlug p;
  p.MakeDefaultPresets("Empty", p.NPresets());
  p.GetParam(0)->SetClamped(300.0);
  plug::InstanceLock lock(p.Mutex());
  p.HostSelectPreset(3);
  EXPECT_EQ(p.GetCurrentPresetIdx(), 3);
  EXPECT_EQ(p.GetParam(0)->Value(), 35.0);
  p.HostSelectPreset(0);
  EXPECT_EQ(p.GetParam(0)->Value(), 300.0);
  p.HostSelectPreset(-1);  // no such preset: the live values stay
  EXPECT_EQ(p.GetCurrentPresetIdx(), 0);
  EXPECT_EQ(p.GetParam(0)->Value(), 300.0);
}

TEST(Presets, RenamingKeepsAnEmptyNameAndCutsLongOnes) {
  TestPlug p;
  p.MakeDefaultPresets("Empty", p.NPresets());
  p.ModifyCurrentPreset("");
  EXPECT_STREQ(p.GetPresetName(0), "Empty");
  std::string longName(400, 'q');
  plug::InstanceLock lock(p.Mutex());
  p.HostRenamePreset(longName.c_str());
  EXPECT_EQ(std::string(p.GetPresetName(0)).size(), 255u);
  EXPECT_EQ(p.presetsChanged, 1);
}

TEST(Presets, StateEqualsIgnoresDifferencesBeyondSinglePrecision) {
  TestPlug p;
  double values[4];
  for (int i = 0; i < 4; ++i) values[i] = p.GetParam(i)->Value();
  values[0] += 1e-12;
  EXPECT_TRUE(p.StateEquals(values, 0));
  values[0] += 0.01;
  EXPECT_FALSE(p.StateEquals(values, 0));
}

TEST(Presets, TruncatedStateZeroesTheMissingValueAndKeepsLaterOnes) {
  TestPlug p;
  p.GetParam(2)->SetClamped(5.0);
  plug::StateChunk c;
  c.AppendDouble(10.0);
  c.AppendInt(0);  // half a double
  p.changed.clear();
  EXPECT_EQ(p.UnserializeParams(&c, 0), -1);
  EXPECT_EQ(p.GetParam(0)->Value(), 10.0);
  EXPECT_EQ(p.GetParam(1)->Value(), 0.0);
  EXPECT_EQ(p.GetParam(2)->Value(), 5.0);
  EXPECT_EQ(p.changed.size(), 4u);  // every parameter is told
}
