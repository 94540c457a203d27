// Where the settings file lives and how it behaves around failures. In the
// Windows builds this runs through the shell's folder query and the system's
// profile functions under Wine.
#include "effect/SettingsFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestSupport.h"

namespace {

using effect::SettingsFile;
using effect_test::IsFile;
using effect_test::IsFolder;
using effect_test::ReadFile;
using effect_test::ScratchFolder;
using effect_test::SetEnvironment;
using effect_test::WriteFile;

#ifdef _WIN32
const char kSeparator[] = "\\";
#else
const char kSeparator[] = "/";
#endif

// The base folder redirected into a scratch folder for each test.
class SettingsFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(base_.Path().empty());
    SetEnvironment("QUILLET_LOCAL_APPDATA", base_.Path().c_str());
  }
  void TearDown() override { SetEnvironment("QUILLET_LOCAL_APPDATA", nullptr); }

  std::string Expected() const {
    return base_.Path() + kSeparator + "VellumMusic" + kSeparator + "quillet.ini";
  }

  ScratchFolder base_;
};

TEST_F(SettingsFileTest, FirstUseCreatesTheMakersFolderAndAnEmptyFile) {
  const std::string path = SettingsFile::Locate("VellumMusic", "quillet.ini");
  EXPECT_EQ(path, Expected());
  EXPECT_TRUE(IsFolder(base_.Join("VellumMusic")));

  const SettingsFile file(path);
  EXPECT_FALSE(file.Exists());
  ASSERT_TRUE(file.CreateEmpty());
  EXPECT_TRUE(file.Exists());
  std::string contents = "not read";
  ASSERT_TRUE(ReadFile(path, &contents));
  EXPECT_EQ(contents, "");
}

TEST_F(SettingsFileTest, CreatingNeverTruncatesAFileThatAppearedMeanwhile) {
  const SettingsFile file(SettingsFile::Locate("VellumMusic", "quillet.ini"));
  ASSERT_TRUE(WriteFile(file.Path(), "[MIDI Control]\r\nCC7=3\r\n"));
  EXPECT_TRUE(file.CreateEmpty());
  char value[64];
  file.ReadText("MIDI Control", "CC7", "-1", value, sizeof value);
  EXPECT_STREQ(value, "3");
}

TEST_F(SettingsFileTest, AnOverlongPathIsUnknownRatherThanCut) {
  // Longer than any path the file may have: it must not become a shorter,
  // different file name.
  const std::string deep = base_.Path() + kSeparator + std::string(1000, 'd');
  SetEnvironment("QUILLET_LOCAL_APPDATA", deep.c_str());
  EXPECT_EQ(SettingsFile::Locate("VellumMusic", "quillet.ini"), "");

  const SettingsFile unknown("");
  EXPECT_FALSE(unknown.Exists());
  EXPECT_FALSE(unknown.CreateEmpty());
  EXPECT_FALSE(unknown.WriteSection("MIDI Control", "CC1=2\0"));
  char value[8];
  unknown.ReadText("MIDI Control", "CC1", "-1", value, sizeof value);
  EXPECT_STREQ(value, "-1");
}

TEST_F(SettingsFileTest, AFileInPlaceOfTheMakersFolderMakesEverythingFailQuietly) {
  ASSERT_TRUE(WriteFile(base_.Join("VellumMusic"), "a file, not a folder"));
  const SettingsFile file(SettingsFile::Locate("VellumMusic", "quillet.ini"));
  EXPECT_EQ(file.Path(), Expected());
  EXPECT_FALSE(file.Exists());
  EXPECT_FALSE(file.CreateEmpty());
  EXPECT_FALSE(file.WriteSection("MIDI Control", "CC1=2\0"));
  char value[8];
  file.ReadText("MIDI Control", "CC1", "-1", value, sizeof value);
  EXPECT_STREQ(value, "-1");
  std::string contents;
  ASSERT_TRUE(ReadFile(base_.Join("VellumMusic"), &contents));
  EXPECT_EQ(contents, "a file, not a folder");
}

TEST_F(SettingsFileTest, ReadsAreBoundedByTheCallersBuffer) {
  const SettingsFile file(SettingsFile::Locate("VellumMusic", "quillet.ini"));
  ASSERT_TRUE(WriteFile(file.Path(), "[MIDI Control]\r\nCC1=" + std::string(500, '7') + "\r\n"));
  char value[72];
  std::fill(value, value + sizeof value, '#');
  file.ReadText("MIDI Control", "CC1", "-1", value, 64);
  EXPECT_EQ(std::string(value), std::string(63, '7'));
  EXPECT_EQ(value[64], '#');  // nothing written past the buffer
}

#ifdef _WIN32

TEST(SettingsFileLocation, IsTheLocalNotTheRoamingApplicationDataFolder) {
  SetEnvironment("QUILLET_LOCAL_APPDATA", nullptr);
  const std::string path = SettingsFile::Locate("VellumMusic", "quillet.ini");
  const std::string tail = "\\AppData\\Local\\VellumMusic\\quillet.ini";
  ASSERT_GT(path.size(), tail.size());
  EXPECT_EQ(path.substr(path.size() - tail.size()), tail) << path;
  EXPECT_EQ(path.substr(1, 2), ":\\") << path;
  EXPECT_TRUE(IsFolder(path.substr(0, path.size() - std::string("\\quillet.ini").size())));
}

#else

class SettingsFileLocation : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironment("QUILLET_LOCAL_APPDATA", nullptr);
    const char* home = std::getenv("HOME");
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    home_ = home ? home : "";
    dataHome_ = dataHome ? dataHome : "";
    hadHome_ = home != nullptr;
    hadDataHome_ = dataHome != nullptr;
  }
  void TearDown() override {
    SetEnvironment("HOME", hadHome_ ? home_.c_str() : nullptr);
    SetEnvironment("XDG_DATA_HOME", hadDataHome_ ? dataHome_.c_str() : nullptr);
  }

  ScratchFolder folder_;
  std::string home_, dataHome_;
  bool hadHome_ = false, hadDataHome_ = false;
};

TEST_F(SettingsFileLocation, FollowsTheXdgDataFolder) {
  SetEnvironment("XDG_DATA_HOME", folder_.Path().c_str());
  EXPECT_EQ(SettingsFile::Locate("VellumMusic", "quillet.ini"),
            folder_.Path() + "/VellumMusic/quillet.ini");
  EXPECT_TRUE(IsFolder(folder_.Join("VellumMusic")));
}

TEST_F(SettingsFileLocation, FallsBackToTheHomeDataFolderCreatingIt) {
  SetEnvironment("HOME", folder_.Path().c_str());
  for (const char* dataHome : {static_cast<const char*>(nullptr), "", "relative/path"}) {
    SetEnvironment("XDG_DATA_HOME", dataHome);
    EXPECT_EQ(SettingsFile::Locate("VellumMusic", "quillet.ini"),
              folder_.Path() + "/.local/share/VellumMusic/quillet.ini");
  }
  EXPECT_TRUE(IsFolder(folder_.Path() + "/.local/share/VellumMusic"));
}

TEST_F(SettingsFileLocation, WithoutAnyHomeThereIsNoFile) {
  SetEnvironment("HOME", nullptr);
  SetEnvironment("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(SettingsFile::Locate("VellumMusic", "quillet.ini"), "");
}

TEST_F(SettingsFileLocation, ARewriteLeavesNoTemporaryFilesBehind) {
  SetEnvironment("XDG_DATA_HOME", folder_.Path().c_str());
  const SettingsFile file(SettingsFile::Locate("VellumMusic", "quillet.ini"));
  ASSERT_TRUE(file.CreateEmpty());
  ASSERT_TRUE(file.WriteSection("MIDI Control", "CC1=2\0"));
  ASSERT_TRUE(file.WriteSection("MIDI Control", "CC1=3\0"));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Join("VellumMusic"))) {
    ++entries;
    EXPECT_EQ(entry.path().filename(), "quillet.ini");
  }
  EXPECT_EQ(entries, 1);
  EXPECT_TRUE(IsFile(file.Path()));
}

#endif

}  // namespace
