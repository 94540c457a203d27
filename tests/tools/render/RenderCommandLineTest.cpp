#include <gtest/gtest.h>

#include <vector>

#include "tools/render/RenderCommandLine.h"

namespace {

using render::RenderOptions;

bool parse(std::vector<const char*> args, RenderOptions* options, std::string* error) {
  args.insert(args.begin(), "quillet-render");
  return render::parseRenderOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(RenderCommandLine, TakesValuesAfterTheOptionOrAfterAnEqualsSign) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(parse({"Quillet.so",
                     "-o",
                     "out.wav",
                     "--tempo=140",
                     "--time-signature",
                     "7/8",
                     "--param",
                     "Grain Mode=SYNC",
                     "--param=Grain Length=35",
                     "-p",
                     "Slap Back",
                     "--block",
                     "300",
                     "--format",
                     "pcm24",
                     "--notes",
                     "C4@0+1",
                     "-q",
                     "--single",
                     "--automate",
                     "Mix@0=1",
                     "--automate=Mix@2=0.5",
                     "--split-events"},
                    &options, &error))
      << error;
  EXPECT_EQ(options.pluginPath, "Quillet.so");
  EXPECT_EQ(options.outputPath, "out.wav");
  EXPECT_EQ(options.transport.tempoBpm, 140.0);
  EXPECT_EQ(options.transport.beatsPerBar, 7);
  EXPECT_EQ(options.transport.beatUnit, 8);
  EXPECT_EQ(options.assignments, (std::vector<std::string>{"Grain Mode=SYNC", "Grain Length=35"}));
  EXPECT_EQ(options.program, "Slap Back");
  EXPECT_EQ(options.blockFrames, 300);
  EXPECT_EQ(options.format, render::SampleFormat::kPcm24);
  EXPECT_TRUE(options.quiet);
  EXPECT_TRUE(options.singlePrecision);
  EXPECT_TRUE(options.inputPath.empty());
  EXPECT_EQ(options.automation, "Mix@0=1,Mix@2=0.5");
  EXPECT_TRUE(options.splitAtEvents);
}

TEST(RenderCommandLine, NeedsOnlyThePlugin) {
  RenderOptions options;
  std::string error;
  ASSERT_TRUE(parse({"Quillet.so"}, &options, &error)) << error;
  EXPECT_EQ(options.format, render::SampleFormat::kFloat32);
  EXPECT_EQ(options.blockFrames, 512);
  EXPECT_EQ(options.rateHz, 44100.0);
  EXPECT_FALSE(options.singlePrecision);
  EXPECT_FALSE(options.splitAtEvents);
  EXPECT_TRUE(parse({"--help"}, &options, &error));
}

TEST(RenderCommandLine, RefusesBadArgumentsWithAReason) {
  struct Case {
    std::vector<const char*> args;
    const char* message;
  };
  const Case cases[] = {
      {{}, "no plug-in"},
      {{"a.so", "b.so"}, "unexpected argument"},
      {{"a.so", "--frobnicate"}, "unknown option --frobnicate"},
      {{"a.so", "-o"}, "needs a value"},
      {{"a.so", "--quiet=yes"}, "takes no value"},
      {{"a.so", "--block", "0"}, "--block"},
      {{"a.so", "--block", "100000"}, "--block"},
      {{"a.so", "--block", "64.5"}, "whole number"},
      {{"a.so", "--block", "12x"}, "--block"},
      {{"a.so", "--rate", "100"}, "--rate"},
      {{"a.so", "--rate", "nan"}, "--rate"},
      {{"a.so", "--seconds", "-1"}, "--seconds"},
      {{"a.so", "--tempo", "0"}, "--tempo"},
      {{"a.so", "--time-signature", "4/3"}, "time signature"},
      {{"a.so", "--time-signature", "0/4"}, "time signature"},
      {{"a.so", "--time-signature", "4"}, "time signature"},
      {{"a.so", "--format", "mp3"}, "unknown output format"},
      {{"a.so", "--midi", "a.mid", "--notes", "C4@0+1"}, "not both"},
      {{"a.so", "-i", "same.wav", "-o", "same.wav"}, "overwrite the input"},
  };
  for (const Case& c : cases) {
    RenderOptions options;
    std::string error;
    EXPECT_FALSE(parse(c.args, &options, &error)) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos)
        << "'" << error << "' lacks '" << c.message << "'";
  }
}

}  // namespace
