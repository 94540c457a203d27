#include "tools/render/AutomationList.h"

#include <gtest/gtest.h>

namespace {

using render::AutomationList;
using render::AutomationPoint;

TEST(AutomationList, ReadsNamesBeatsAndValuesInTimeOrder) {
  std::vector<AutomationPoint> points;
  std::string error;
  ASSERT_TRUE(
      AutomationList::parse(" Grain Mode@4=1, Mix@0=0.25 ,Mix@2=0.5,", 120.0, &points, &error))
      << error;
  ASSERT_EQ(points.size(), 3u);
  EXPECT_EQ(points[0].name, "Mix");
  EXPECT_EQ(points[0].seconds, 0.0);
  EXPECT_EQ(points[0].normalised, 0.25);
  EXPECT_EQ(points[1].seconds, 1.0);  // two beats at 120 beats per minute
  EXPECT_EQ(points[2].name, "Grain Mode");
  EXPECT_EQ(points[2].seconds, 2.0);
  EXPECT_EQ(points[2].index, -1);  // resolved once the plug-in is known
}

TEST(AutomationList, RefusesMalformedEntries) {
  for (const char* text : {"", ",", "Mix", "Mix@2", "Mix=0.5", "@2=0.5", "Mix@-1=0.5", "Mix@2=1.5",
                           "Mix@2=-0.1", "Mix@two=0.5", "Mix@2=half"}) {
    std::vector<AutomationPoint> points;
    std::string error;
    EXPECT_FALSE(AutomationList::parse(text, 120.0, &points, &error)) << text;
    EXPECT_FALSE(error.empty()) << text;
  }
}

}  // namespace
