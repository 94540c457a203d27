// The user's editor size in the settings file: written, read back, other
// sections left alone, and every damaged or hostile entry read as automatic.
// In the Windows builds through the system's profile functions under Wine.
#include "effect/EditorSizeSetting.h"

#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace {

using effect::EditorSizeSetting;
using effect::SettingsFile;

class EditorSizeSettingTest : public ::testing::Test {
 protected:
  std::string Path() { return folder_.Join("quillet.ini"); }
  effect_test::ScratchFolder folder_;
};

TEST_F(EditorSizeSettingTest, EachChoiceIsWrittenInASectionOfItsOwnAndReadBack) {
  effect_test::WriteFile(Path(), "[MIDI Control]\r\nCC7=0\r\n");
  const SettingsFile file(Path());
  EXPECT_EQ(EditorSizeSetting::Read(file), 0);  // no entry: automatic
  for (int percent : {150, 200, 100, 0}) {
    ASSERT_TRUE(EditorSizeSetting::Write(file, percent));
    EXPECT_EQ(EditorSizeSetting::Read(file), percent);
  }
  std::string text;
  ASSERT_TRUE(effect_test::ReadFile(Path(), &text));
  EXPECT_NE(text.find("[Editor]"), std::string::npos);
  EXPECT_NE(text.find("Size=Automatic"), std::string::npos);
  // The controller map of older versions is untouched.
  EXPECT_NE(text.find("CC7=0"), std::string::npos);
  // A value that is no size is written as automatic.
  ASSERT_TRUE(EditorSizeSetting::Write(file, 175));
  EXPECT_EQ(EditorSizeSetting::Read(file), 0);
}

TEST_F(EditorSizeSettingTest, HostileEntriesReadAsAutomatic) {
  const SettingsFile file(Path());
  for (const char* value : {"175", "1500", "-150", "150x", "1 50", "0150", "abc", "",
                            "99999999999999999999", "150.0"}) {
    effect_test::WriteFile(Path(), std::string("[Editor]\r\nSize=") + value + "\r\n");
    EXPECT_EQ(EditorSizeSetting::Read(file), 0) << value;
  }
  effect_test::WriteFile(Path(), "[Editor]\r\nSize=200\r\n");
  EXPECT_EQ(EditorSizeSetting::Read(file), 200);
  EXPECT_EQ(EditorSizeSetting::Read(SettingsFile("")), 0);
}

}  // namespace
