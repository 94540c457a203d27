// The ini rules of the POSIX settings file, which must read files as the
// Windows profile functions do.
#include "effect/IniText.h"

#include <gtest/gtest.h>

namespace {

using effect::IniText;

std::string Value(const IniText& ini, const char* section, const char* key) {
  std::string value;
  return ini.Find(section, key, &value) ? value : "<missing>";
}

TEST(IniText, FindsKeysByTheProfileRules) {
  const IniText ini(
      "CC1=9\n"  // before any section: belongs to none
      "[Other]\n"
      "CC1=8\n"
      "  [ midi CONTROL ]  trailing text\r\n"
      "; CC2=5\n"
      "cc2 = 7  \r\n"
      "CC3=\"12\"\n"
      "CC4='x'\n"
      "CC5=\"unbalanced\n"
      "CC2=99\n"
      "CC6=\n"
      "no equals sign\n"
      "[Later]\n"
      "CC7=1\n"
      "[MIDI Control]\n"
      "CC8=2\n");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC1"), "<missing>");
  EXPECT_EQ(Value(ini, "Other", "CC1"), "8");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC2"), "7");  // case, blanks, first key wins
  EXPECT_EQ(Value(ini, "MIDI Control", "CC3"), "12");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC4"), "x");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC5"), "\"unbalanced");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC6"), "");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC7"), "<missing>");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC8"), "<missing>");  // only the first section counts
  EXPECT_EQ(Value(ini, "Missing", "CC1"), "<missing>");
}

TEST(IniText, OddTextFindsNothingAndDoesNotCrash) {
  const char binary[] = "[MIDI Control\0CC1=3\n\xff\xfe=\n[\n]\n=\n";
  const IniText ini(std::string(binary, sizeof binary - 1));
  EXPECT_EQ(Value(ini, "MIDI Control", "CC1"), "<missing>");
  EXPECT_EQ(Value(IniText(""), "MIDI Control", "CC1"), "<missing>");
  EXPECT_EQ(Value(IniText("[MIDI Control]"), "MIDI Control", "CC1"), "<missing>");
}

TEST(IniText, ReplacingASectionKeepsEverythingElse) {
  IniText ini(
      "; written by hand\n"
      "[Other]\n"
      "A=1\n"
      "[MIDI Control]\n"
      "CC1=4\n"
      "; old comment\n"
      "CC9=2\n"
      "[Tail]\n"
      "B=2\n");
  ini.ReplaceSection("MIDI Control", "CC7=3\0CC8=1\0");
  EXPECT_EQ(ini.Text(),
            "; written by hand\n"
            "[Other]\n"
            "A=1\n"
            "[MIDI Control]\n"
            "CC7=3\n"
            "CC8=1\n"
            "[Tail]\n"
            "B=2\n");

  ini.ReplaceSection("midi control", "\0");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC7"), "<missing>");
  EXPECT_EQ(Value(ini, "Tail", "B"), "2");
  EXPECT_EQ(Value(ini, "Other", "A"), "1");
}

TEST(IniText, AByteOrderMarkDoesNotHideTheFirstSection) {
  IniText ini("\xEF\xBB\xBF[MIDI Control]\r\nCC7=3\r\n");
  EXPECT_EQ(Value(ini, "MIDI Control", "CC7"), "3");
  ini.ReplaceSection("MIDI Control", "CC8=4\0");
  EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[MIDI Control]\r\nCC8=4\r\n");
}

TEST(IniText, ReplacingAMissingSectionAppendsIt) {
  IniText empty;
  empty.ReplaceSection("MIDI Control", "CC7=3\0");
  EXPECT_EQ(empty.Text(), "[MIDI Control]\nCC7=3\n");

  // No line end after the last line, and Windows line ends kept.
  IniText windows("[Other]\r\nA=1");
  windows.ReplaceSection("MIDI Control", "CC1=2\0");
  EXPECT_EQ(windows.Text(), "[Other]\r\nA=1\r\n[MIDI Control]\r\nCC1=2\r\n");

  IniText headerOnly("[MIDI Control]");
  headerOnly.ReplaceSection("MIDI Control", "CC1=2\0");
  EXPECT_EQ(Value(headerOnly, "MIDI Control", "CC1"), "2");
}

}  // namespace
