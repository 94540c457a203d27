// Controller assignments: the learn rules on the map, and the map's section in
// a real settings file (through the Windows profile functions in the Windows
// builds), including files written by hand or damaged.
#include "effect/ControllerMap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "TestSupport.h"

namespace {

using effect::ControllerMap;
using effect::SettingsFile;
using effect_test::ReadFile;
using effect_test::ScratchFolder;
using effect_test::WriteFile;

std::string WithoutCarriageReturns(std::string text) {
  std::string result;
  for (char c : text) {
    if (c != '\r') result += c;
  }
  return result;
}

TEST(ControllerMap, StoredValuesReadAsAtoiWithUnassignedForNonNumbers) {
  const struct {
    const char* text;
    int index;
  } cases[] = {
      {"3", 3},
      {"07", 7},
      {"0", 0},
      {"0abc", 0},
      {"28", 28},
      {"40", 40},
      {"-5", -5},
      {"-1", -1},
      {"+12", 12},
      {"12abc", 12},
      {"  42", 42},
      {"\t9", 9},
      {"abc", -1},
      {" 0", -1},
      {"-0", -1},
      {"+", -1},
      {"-", -1},
      {"0x1F", 0},
      {"1.5", 1},
      {"1,5", 1},
      {"99999999999", INT_MAX},
      {"-99999999999", INT_MIN},
      {"2147483647", INT_MAX},
      {"-2147483648", INT_MIN},
      {"2147483648", INT_MAX},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ControllerMap::ParseStoredIndex(c.text), c.index) << "text \"" << c.text << "\"";
  }
}

TEST(ControllerMap, AssigningAParameterTakesItFromEveryOtherController) {
  ControllerMap map;
  map.Assign(1, 5);
  map.Assign(2, 6);
  map.Assign(7, 5);
  EXPECT_EQ(map.ParamFor(1), -1);
  EXPECT_EQ(map.ParamFor(2), 6);
  EXPECT_EQ(map.ParamFor(7), 5);

  map.ClearParam(6);
  EXPECT_EQ(map.ParamFor(2), -1);
  map.ClearController(7);
  EXPECT_EQ(map.ParamFor(7), -1);
}

TEST(ControllerMap, ControllersOutsideTheLearnableRangeHaveNoEntry) {
  ControllerMap map;
  for (int controller : {-1, 120, 127, 128, INT_MAX, INT_MIN}) {
    map.Assign(controller, 3);
    EXPECT_EQ(map.ParamFor(controller), -1) << "controller " << controller;
  }
  for (int controller = 0; controller < ControllerMap::kControllerCount; ++controller) {
    EXPECT_EQ(map.ParamFor(controller), -1) << "controller " << controller;
  }
}

class ControllerMapFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.Path().empty()); }
  std::string Path() const { return folder_.Join("quillet.ini"); }

  ScratchFolder folder_;
};

TEST_F(ControllerMapFileTest, SavesOneKeyPerAssignedControllerAndReadsThemBack) {
  const SettingsFile file(Path());
  ASSERT_TRUE(file.CreateEmpty());
  ControllerMap map;
  map.Assign(7, 3);
  map.Assign(1, 4);
  map.Assign(119, 0);
  ASSERT_TRUE(map.Save(file));

  std::string text;
  ASSERT_TRUE(ReadFile(Path(), &text));
  EXPECT_EQ(WithoutCarriageReturns(text), "[MIDI Control]\nCC1=4\nCC7=3\nCC119=0\n");

  ControllerMap loaded;
  loaded.Load(file);
  for (int controller = 0; controller < ControllerMap::kControllerCount; ++controller) {
    EXPECT_EQ(loaded.ParamFor(controller), map.ParamFor(controller)) << "controller " << controller;
  }
}

TEST_F(ControllerMapFileTest, SavingReplacesTheSectionAndKeepsOtherSections) {
  ASSERT_TRUE(WriteFile(Path(), "[Other]\r\nKeep=me\r\n[MIDI Control]\r\nCC5=2\r\nCC6=9\r\n"));
  const SettingsFile file(Path());
  ControllerMap map;
  map.Assign(6, 1);
  ASSERT_TRUE(map.Save(file));

  char value[64];
  file.ReadText("Other", "Keep", "gone", value, sizeof value);
  EXPECT_STREQ(value, "me");
  ControllerMap loaded;
  loaded.Load(file);
  EXPECT_EQ(loaded.ParamFor(5), -1);
  EXPECT_EQ(loaded.ParamFor(6), 1);

  // Nothing assigned: no key is left.
  ASSERT_TRUE(ControllerMap().Save(file));
  loaded.Load(file);
  EXPECT_EQ(loaded.ParamFor(6), -1);
  file.ReadText("MIDI Control", "CC6", "none", value, sizeof value);
  EXPECT_STREQ(value, "none");
}

TEST_F(ControllerMapFileTest, HostileValuesGiveDefinedEntries) {
  ASSERT_TRUE(WriteFile(Path(),
                        "[MIDI Control]\r\n"
                        "CC0=letters\r\n"
                        "CC1=\r\n"
                        "CC2=07\r\n"
                        "CC3=40\r\n"
                        "CC4=99999999999999999999999\r\n"
                        "CC5=-7\r\n"
                        "CC6= 12 \r\n"
                        "CC7=\"5\"\r\n"
                        "CC8=" +
                            std::string(300, '9') +
                            "\r\n"
                            "CC9=2" +
                            std::string(100, ' ') +
                            "x\r\n"
                            "CC120=3\r\n"
                            "CC-1=3\r\n"
                            "CC010=3\r\n"
                            "CC99999999999=3\r\n"
                            "CC11=0\r\n"));
  ControllerMap map;
  map.Load(SettingsFile(Path()));
  EXPECT_EQ(map.ParamFor(0), -1);
  EXPECT_EQ(map.ParamFor(1), -1);
  EXPECT_EQ(map.ParamFor(2), 7);
  EXPECT_EQ(map.ParamFor(3), 40);  // kept: it drives nothing, but is written back
  EXPECT_EQ(map.ParamFor(4), INT_MAX);
  EXPECT_EQ(map.ParamFor(5), -7);
  EXPECT_EQ(map.ParamFor(6), 12);
  EXPECT_EQ(map.ParamFor(7), 5);
  EXPECT_EQ(map.ParamFor(8), INT_MAX);  // cut to 63 characters, still all digits
  EXPECT_EQ(map.ParamFor(9), 2);
  EXPECT_EQ(map.ParamFor(10), -1);  // "CC010" is not the key "CC10"
  EXPECT_EQ(map.ParamFor(11), 0);
  EXPECT_EQ(map.ParamFor(120), -1);

  // Out-of-range entries survive a save unchanged.
  ASSERT_TRUE(map.Save(SettingsFile(Path())));
  ControllerMap again;
  again.Load(SettingsFile(Path()));
  EXPECT_EQ(again.ParamFor(3), 40);
  EXPECT_EQ(again.ParamFor(4), INT_MAX);
  EXPECT_EQ(again.ParamFor(5), -7);
}

TEST_F(ControllerMapFileTest, AFileSavedByAnEditorWithAByteOrderMarkReads) {
  ASSERT_TRUE(WriteFile(Path(), "\xEF\xBB\xBF[MIDI Control]\r\nCC7=3\r\n"));
  ControllerMap map;
  map.Load(SettingsFile(Path()));
  EXPECT_EQ(map.ParamFor(7), 3);
}

TEST_F(ControllerMapFileTest, MissingSectionFileOrPathLeaveEverythingUnassigned) {
  ASSERT_TRUE(WriteFile(Path(), "[Other]\r\nCC7=3\r\n"));
  ControllerMap map;
  map.Load(SettingsFile(Path()));
  EXPECT_EQ(map.ParamFor(7), -1);

  map.Load(SettingsFile(folder_.Join("absent.ini")));
  EXPECT_EQ(map.ParamFor(7), -1);

  map.Load(SettingsFile(""));
  EXPECT_EQ(map.ParamFor(7), -1);
  EXPECT_FALSE(map.Save(SettingsFile("")));
}

TEST_F(ControllerMapFileTest, UnreadableFileReadsAsUnassignedAndIsNotReplaced) {
  // A folder where the file should be: it exists, but cannot be read or written.
  const std::string path = folder_.Join("blocked.ini");
  ASSERT_TRUE(effect_test::MakeFolder(path));

  const SettingsFile file(path);
  EXPECT_TRUE(file.Exists());
  ControllerMap map;
  map.Load(file);
  for (int controller = 0; controller < ControllerMap::kControllerCount; ++controller) {
    EXPECT_EQ(map.ParamFor(controller), -1) << "controller " << controller;
  }
  map.Assign(7, 3);
  EXPECT_FALSE(map.Save(file));
  EXPECT_TRUE(effect_test::IsFolder(path));
}

}  // namespace
