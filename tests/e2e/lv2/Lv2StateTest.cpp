// State through lilv as hosts keep it: a project's state round-trips whole
// (every preset, the live values, the current preset) and sounds the same;
// the port values lilv restores with it leave the exact values alone; and
// whatever a host hands back that is not our state leaves the instance as it
// was.
#include <map>

#include "e2e/lv2/Lv2Fixture.h"

namespace e2e {
namespace {

using Lv2State = Lv2Instance;
using Properties = std::map<std::string, std::pair<std::string, std::vector<std::uint8_t>>>;

constexpr const char* kProgramKey = "https://vellum-music.com/plugins/quillet#program";

TEST_F(Lv2State, ProjectStateRoundTripsThroughLilv) {
  ASSERT_TRUE(host_.applyPreset("https://vellum-music.com/plugins/quillet#preset-8"));
  host_.setControl(3, 123.5f);  // Grain Length
  Render(&host_, 1024);         // the control reaches the instance in a run
  const std::string turtle = host_.saveState();
  ASSERT_NE(turtle.find("quillet#state"), std::string::npos) << turtle;

  lv2host::Lv2Host restored;
  Open(&restored);
  ASSERT_TRUE(restored.restoreState(turtle));
  EXPECT_EQ(restored.control(3), 123.5f);
  EXPECT_EQ(StateBytes(&restored), StateBytes(&host_));
  // The instance now starts from the saved state: fresh copies of both sound
  // alike from here.
  lv2host::Lv2Host again;
  Open(&again);
  ASSERT_TRUE(again.restoreState(turtle));
  EXPECT_EQ(Render(&again, 8192), Render(&restored, 8192));
}

// Presets carry exact values (a program chunk); the float port values lilv
// sets with them repeat those values and must not replace them.
TEST_F(Lv2State, PortValuesRepeatingTheStateKeepItExact) {
  ASSERT_TRUE(host_.applyPreset("https://vellum-music.com/plugins/quillet#preset-9"));
  const std::vector<std::uint8_t> applied = StateBytes(&host_);
  Render(&host_, 1024);
  EXPECT_EQ(StateBytes(&host_), applied);
  // A real change still counts.
  host_.setControl(1, 0.25f);
  Render(&host_, 1024);
  EXPECT_NE(StateBytes(&host_), applied);
}

TEST_F(Lv2State, HostileStateLeavesTheInstanceUnchanged) {
  host_.setControl(0, 0.5f);
  Render(&host_, 512);
  const std::vector<std::uint8_t> before = StateBytes(&host_);
  ASSERT_GT(before.size(), 16u);
  std::vector<std::uint8_t> cut(before.begin(), before.end() - 3);
  std::vector<std::uint8_t> longer = before;
  longer.push_back(0);
  std::vector<std::uint8_t> badIndex = before;
  badIndex[badIndex.size() - 4] = 10;  // current preset 10 of 0..9
  std::vector<std::uint8_t> noise(before.size(), 0xA5);
  const std::vector<Properties> hostile = {
      {},
      {{kStateKey, {kAtomChunk, {}}}},
      {{kStateKey, {kAtomChunk, cut}}},
      {{kStateKey, {kAtomChunk, longer}}},
      {{kStateKey, {kAtomChunk, badIndex}}},
      {{kStateKey, {kAtomChunk, noise}}},
      {{kStateKey, {"http://lv2plug.in/ns/ext/atom#String", before}}},
      {{kProgramKey, {kAtomChunk, cut}}},
      {{"urn:someone-else#state", {kAtomChunk, before}}},
  };
  for (std::size_t i = 0; i < hostile.size(); ++i) {
    EXPECT_NE(host_.restoreProperties(hostile[i]), 0) << "case " << i;
    EXPECT_EQ(StateBytes(&host_), before) << "case " << i;
  }
  // And the whole state is taken.
  EXPECT_EQ(host_.restoreProperties({{kStateKey, {kAtomChunk, before}}}), 0);
  // Turtle a host could not read leaves everything as well.
  EXPECT_FALSE(host_.restoreState("this is not turtle ]]"));
  EXPECT_EQ(StateBytes(&host_), before);
}

}  // namespace
}  // namespace e2e
