#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TestPlug.h"

using testplug::TestHost;
using testplug::TestPlug;

class Presets : public ::testing::Test {
 protected:
  void SetUp() override { TestHost::current = &host; }
  void TearDown() override { TestHost::current = nullptr; }
  TestHost host;
};

TEST_F(Presets, EmptySlotsBecomeNumberedUserPresets) {
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

TEST_F(Presets, ProgramChangeKeepsTheLiveStateOfTheProgramLeft) {
  TestPlug p;
  p.MakeDefaultPresets("Empty", p.NPresets());
  p.GetParam(0)->SetClamped(300.0);
  p.Dispatch(vst::effSetProgram, 0, 3);
  EXPECT_EQ(p.Dispatch(vst::effGetProgram), 3);
  EXPECT_EQ(p.GetParam(0)->Value(), 35.0);
  p.Dispatch(vst::effSetProgram, 0, 0);
  EXPECT_EQ(p.GetParam(0)->Value(), 300.0);
}

TEST_F(Presets, RenamingKeepsAnEmptyNameAndCutsLongOnes) {
  TestPlug p;
  p.MakeDefaultPresets("Empty", p.NPresets());
  p.ModifyCurrentPreset("");
  EXPECT_STREQ(p.GetPresetName(0), "Empty");
  std::string longName(400, 'q');
  p.Dispatch(vst::effSetProgramName, 0, 0, &longName[0]);
  EXPECT_EQ(std::string(p.GetPresetName(0)).size(), 255u);
  EXPECT_EQ(p.presetsChanged, 1);
  // The host's buffer gets a bounded copy.
  char buf[64];
  std::memset(buf, 'x', sizeof buf);
  p.Dispatch(vst::effGetProgramName, 0, 0, buf);
  EXPECT_LT(std::strlen(buf), sizeof buf);
}

TEST_F(Presets, StateEqualsIgnoresDifferencesBeyondSinglePrecision) {
  TestPlug p;
  double values[4];
  for (int i = 0; i < 4; ++i) values[i] = p.GetParam(i)->Value();
  values[0] += 1e-12;
  EXPECT_TRUE(p.StateEquals(values, 0));
  values[0] += 0.01;
  EXPECT_FALSE(p.StateEquals(values, 0));
}

TEST_F(Presets, TruncatedStateZeroesTheMissingValueAndKeepsLaterOnes) {
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
