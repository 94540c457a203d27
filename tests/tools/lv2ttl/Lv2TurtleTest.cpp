// The bundle's descriptions: the files in the built bundle are exactly what
// the product's tables give (so no one edits them by hand or ships stale
// ones), the port symbols come out of the names as released, and numbers are
// written so that Turtle reads back the same value.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "plug/IPlugBase.h"
#include "plug/PluginFactory.h"
#include "tools/lv2ttl/Lv2Turtle.h"

namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(Lv2Turtle, BundleFilesAreWhatTheTablesGive) {
  std::unique_ptr<plug::IPlugBase> plugin(plug::CreatePlugin());
  const std::string bundle = QUILLET_LV2_BUNDLE;
  EXPECT_EQ(ReadFile(bundle + "/manifest.ttl"), lv2ttl::ManifestTurtle(*plugin, "quillet.so"));
  EXPECT_EQ(ReadFile(bundle + "/quillet.ttl"), lv2ttl::PluginTurtle(*plugin));
  EXPECT_EQ(ReadFile(bundle + "/presets.ttl"), lv2ttl::PresetsTurtle(plugin.get()));
}

TEST(Lv2Turtle, SymbolsComeFromNames) {
  EXPECT_EQ(lv2ttl::PortSymbol("Grain Fade-In", 7), "grain_fade_in");
  EXPECT_EQ(lv2ttl::PortSymbol("MIDI Polyphony", 17), "midi_polyphony");
  EXPECT_EQ(lv2ttl::PortSymbol("  Frame Sync to Host ", 12), "frame_sync_to_host");
  // Nothing usable, or a leading digit (not a valid symbol): the slot's name.
  EXPECT_EQ(lv2ttl::PortSymbol("", 22), "reserved_22");
  EXPECT_EQ(lv2ttl::PortSymbol("--", 23), "reserved_23");
  EXPECT_EQ(lv2ttl::PortSymbol("3D", 24), "reserved_24");
}

TEST(Lv2Turtle, NumbersReadBackExactly) {
  for (double v : {0.05, 0.7, 1.0 / 3.0, 2000.0, -1.0, 0.0, 1e-300, 16.0}) {
    const std::string text = lv2ttl::TurtleNumber(v);
    EXPECT_EQ(std::strtod(text.c_str(), nullptr), v) << text;
    // A decimal or a double, never a Turtle integer.
    EXPECT_NE(text.find_first_of(".e"), std::string::npos) << text;
  }
  EXPECT_EQ(lv2ttl::TurtleNumber(0.05), "0.05");
  EXPECT_EQ(lv2ttl::TurtleNumber(2000.0), "2000.0");
}

}  // namespace
