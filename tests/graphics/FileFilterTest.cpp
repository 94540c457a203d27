// The file dialogs' type filter: built from the extensions, cut at the
// dialogs' limits however long the list.
#include "graphics/FileFilter.h"

#include <gtest/gtest.h>

#include <string>

using graphics::FileFilter;

TEST(FileFilter, JoinsTheExtensionsAndTakesTheFirstAsDefault) {
  const FileFilter f = FileFilter::FromExtensions("  fxp  fxb ");
  EXPECT_EQ(f.pattern, "*.fxp;*.fxb");
  EXPECT_EQ(f.defaultExtension, "fxp");
  EXPECT_EQ(FileFilter::FromExtensions(nullptr).pattern, "");
  EXPECT_EQ(FileFilter::FromExtensions("   ").defaultExtension, "");
}

TEST(FileFilter, LongListsAndExtensionsAreCutAtTheDialogsLimits) {
  std::string many;
  for (int i = 0; i < 200; ++i) many += "ext" + std::to_string(i) + " ";
  const FileFilter f = FileFilter::FromExtensions(many.c_str());
  EXPECT_EQ(f.pattern.size(), FileFilter::kMaxPatternChars);
  EXPECT_EQ(f.pattern.rfind("*.ext0;*.ext1;", 0), 0u);
  const std::string huge(4000, 'x');
  const FileFilter g = FileFilter::FromExtensions(huge.c_str());
  EXPECT_EQ(g.defaultExtension, std::string(FileFilter::kMaxExtensionChars, 'x'));
  EXPECT_EQ(g.pattern.size(), FileFilter::kMaxPatternChars);
}
