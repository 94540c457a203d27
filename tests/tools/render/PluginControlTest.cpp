// The renderer's host side against the shipped plug-in binary (Quillet.so
// natively, Quillet64.dll / Quillet.dll under Wine), through the VST 2
// adapter.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "tools/render/ByteFile.h"
#include "tools/render/DemoSignal.h"
#include "tools/render/OfflineRenderer.h"
#include "tools/render/PluginControl.h"
#include "tools/render/Vst2RenderPlugin.h"

namespace {

using render::PluginControl;
using render::PresetKind;

std::unique_ptr<render::Vst2RenderPlugin> loadPlugin() {
  std::unique_ptr<render::Vst2RenderPlugin> plugin(new render::Vst2RenderPlugin());
  std::string error;
  if (!plugin->load(QUILLET_PLUGIN_PATH, &error)) {
    ADD_FAILURE() << "cannot load " << QUILLET_PLUGIN_PATH << ": " << error;
    return nullptr;
  }
  plugin->open(44100.0, 512);
  return plugin;
}

std::string tempPath(const char* name) { return ::testing::TempDir() + "render-" + name; }

TEST(PluginControl, SetsParametersByNameWithValueTextsAndPlainValues) {
  auto plugin = loadPlugin();
  ASSERT_TRUE(plugin);
  PluginControl control(plugin.get());
  std::string error;
  const int mode = control.findParameter("Grain Mode");
  const int length = control.findParameter("grain length");  // case does not matter
  ASSERT_GE(mode, 0);
  ASSERT_GE(length, 0);
  ASSERT_TRUE(control.applyAssignment("Grain Mode=SYNC", &error)) << error;
  EXPECT_EQ(plugin->parameterDisplay(mode), "SYNC");
  ASSERT_TRUE(control.applyAssignment(" grain mode = freq ", &error)) << error;
  EXPECT_EQ(plugin->parameterDisplay(mode), "FREQ");
  ASSERT_TRUE(control.applyAssignment("Grain Mode=3", &error)) << error;  // counted from 0
  EXPECT_EQ(plugin->parameterDisplay(mode), "MIDI");
  ASSERT_TRUE(control.applyAssignment("Grain Length=35", &error)) << error;
  EXPECT_EQ(plugin->parameterDisplay(length), "35.0");
  ASSERT_TRUE(control.applyAssignment("Frame Sync to Host=on", &error)) << error;
  EXPECT_EQ(plugin->parameterDisplay(control.findParameter("Frame Sync to Host")), "on");
  ASSERT_TRUE(control.applyAssignment("Grain Sync=1/8T", &error)) << error;
  EXPECT_EQ(plugin->parameterDisplay(control.findParameter("Grain Sync")), "1/8T");
}

TEST(PluginControl, RefusesUnknownNamesTextsAndOutOfRangeValues) {
  auto plugin = loadPlugin();
  ASSERT_TRUE(plugin);
  PluginControl control(plugin.get());
  struct Case {
    const char* assignment;
    const char* message;
  };
  const Case cases[] = {
      {"Grain Mode", "NAME=VALUE"},
      {"Grain Mood=SYNC", "unknown parameter \"Grain Mood\""},
      {"Grain Mode=FAST", "one of: M.SEC, SYNC, FREQ, MIDI"},
      {"Grain Mode=4", "not a value"},
      {"Grain Mode=", "no value"},
      {"Grain Length=5000", "out of range (0.2 to 2000.0)"},
      {"Grain Length=0.1", "out of range"},
      {"Grain Length=long", "not a number"},
      {"Grain Length=35ms", "not a number"},
      {"MIDI Polyphony=9", "not a value"},
  };
  const int length = control.findParameter("Grain Length");
  const double before = plugin->parameterNormalised(length);
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(control.applyAssignment(c.assignment, &error)) << c.assignment;
    EXPECT_NE(error.find(c.message), std::string::npos) << c.assignment << ": " << error;
  }
  EXPECT_EQ(plugin->parameterNormalised(length), before);
}

TEST(PluginControl, SelectsProgramsByNumberAndName) {
  auto plugin = loadPlugin();
  ASSERT_TRUE(plugin);
  PluginControl control(plugin.get());
  std::string error;
  ASSERT_TRUE(control.selectProgram("5", &error)) << error;
  EXPECT_EQ(plugin->currentProgramName(), "Ring Modulator");
  ASSERT_TRUE(control.selectProgram("slap back", &error)) << error;
  EXPECT_EQ(plugin->currentProgram(), 8);
  EXPECT_FALSE(control.selectProgram("10", &error));
  EXPECT_NE(error.find("out of range"), std::string::npos) << error;
  EXPECT_FALSE(control.selectProgram("-1", &error));
  EXPECT_FALSE(control.selectProgram("Loud", &error));
  EXPECT_NE(error.find("Strange Mix"), std::string::npos) << error;  // lists the names
}

struct Snapshot {
  std::vector<double> values;
  std::vector<std::string> displays;
  std::vector<std::string> programNames;
  long current;
};

Snapshot snapshot(render::RenderPlugin* plugin) {
  PluginControl control(plugin);
  Snapshot s;
  for (int i = 0; i < plugin->parameterCount(); ++i) {
    s.values.push_back(plugin->parameterNormalised(i));
    s.displays.push_back(plugin->parameterDisplay(i));
  }
  s.programNames = control.programNames();
  s.current = plugin->currentProgram();
  return s;
}

void expectSame(const Snapshot& a, const Snapshot& b, const std::string& where) {
  EXPECT_EQ(a.values, b.values) << where;
  EXPECT_EQ(a.displays, b.displays) << where;
  EXPECT_EQ(a.programNames, b.programNames) << where;
  EXPECT_EQ(a.current, b.current) << where;
}

TEST(PluginControl, ProgramFilesLoadIntoAFreshInstanceWithEveryValueAndName) {
  const std::string path = tempPath("program.fxp");
  Snapshot saved;
  {
    auto plugin = loadPlugin();
    ASSERT_TRUE(plugin);
    PluginControl control(plugin.get());
    std::string error;
    ASSERT_TRUE(control.selectProgram("7", &error));
    for (const char* setting : {"Grain Mode=MIDI", "Grain Length=123.4", "Mix=0.3", "Volume=1.5",
                                "MIDI Polyphony=7", "Frame Skew=-0.25"}) {
      ASSERT_TRUE(control.applyAssignment(setting, &error)) << error;
    }
    plugin->setParameter(25, 1.0);  // an unnamed slot (range 0..1, step 1) travels too
    plugin->renameCurrentProgram("My Tweaked One");
    ASSERT_TRUE(control.savePreset(path, PresetKind::kProgram, &error)) << error;
    saved = snapshot(plugin.get());
  }
  auto fresh = loadPlugin();
  ASSERT_TRUE(fresh);
  PluginControl control(fresh.get());
  std::string error;
  ASSERT_TRUE(control.selectProgram("7", &error));
  ASSERT_TRUE(control.loadPreset(path, PresetKind::kProgram, &error)) << error;
  const Snapshot loaded = snapshot(fresh.get());
  EXPECT_EQ(loaded.values, saved.values);
  EXPECT_EQ(loaded.displays, saved.displays);
  EXPECT_EQ(fresh->currentProgramName(), "My Tweaked One");
  EXPECT_EQ(loaded.values[25], 1.0);
  std::remove(path.c_str());
}

TEST(PluginControl, BankFilesLoadIntoAFreshInstanceWithEveryProgram) {
  const std::string path = tempPath("bank.fxb");
  std::vector<Snapshot> saved;
  {
    auto plugin = loadPlugin();
    ASSERT_TRUE(plugin);
    PluginControl control(plugin.get());
    std::string error;
    for (const char* program : {"2", "6"}) {
      ASSERT_TRUE(control.selectProgram(program, &error));
      ASSERT_TRUE(control.applyAssignment("Grain Overlap=17", &error)) << error;
      ASSERT_TRUE(control.applyAssignment("Frame Length=777", &error)) << error;
      plugin->renameCurrentProgram("Edited");
    }
    ASSERT_TRUE(control.selectProgram("4", &error));
    ASSERT_TRUE(control.savePreset(path, PresetKind::kBank, &error)) << error;
    for (int p = 0; p < plugin->programCount(); ++p) {
      plugin->selectProgram(p);
      saved.push_back(snapshot(plugin.get()));
    }
  }
  auto fresh = loadPlugin();
  ASSERT_TRUE(fresh);
  PluginControl control(fresh.get());
  std::string error;
  ASSERT_TRUE(control.loadPreset(path, PresetKind::kBank, &error)) << error;
  EXPECT_EQ(fresh->currentProgram(), 4);  // the current program travels too
  for (int p = 0; p < fresh->programCount(); ++p) {
    fresh->selectProgram(p);
    expectSame(saved[p], snapshot(fresh.get()), "program " + std::to_string(p));
  }
  EXPECT_EQ(saved[2].programNames[2], "Edited");
  std::remove(path.c_str());
}

TEST(PluginControl, RefusesPresetsOfTheWrongKindOrPluginAndBrokenChunks) {
  auto plugin = loadPlugin();
  ASSERT_TRUE(plugin);
  PluginControl control(plugin.get());
  std::string error;
  render::PresetFile file;
  ASSERT_TRUE(control.capturePreset(PresetKind::kProgram, &file, &error)) << error;
  const std::string path = tempPath("kind.fxp");
  ASSERT_TRUE(render::ByteFile::write(path, file.encode(), &error));
  EXPECT_FALSE(control.loadPreset(path, PresetKind::kBank, &error));
  EXPECT_NE(error.find("not a bank"), std::string::npos) << error;

  render::PresetFile other = file;
  other.pluginId = 0x41424344;
  EXPECT_FALSE(control.applyPreset(other, &error));
  EXPECT_NE(error.find("'ABCD'"), std::string::npos) << error;

  render::PresetFile garbage = file;
  garbage.chunk.assign(5, 0xEE);  // shorter than one value: the plug-in refuses it
  EXPECT_FALSE(control.applyPreset(garbage, &error));
  EXPECT_NE(error.find("refused"), std::string::npos) << error;
  std::remove(path.c_str());
}

TEST(OfflineRenderer, RendersTheSameInputTwiceIdentically) {
  const render::AudioClip input = render::DemoSignal::make(44100.0, 120.0, 1.5);
  std::vector<render::TimedMidiMessage> notes = {{0.1, 0x90, 57, 100}, {0.9, 0x80, 57, 0}};
  render::AudioClip outputs[2];
  for (render::AudioClip& output : outputs) {
    auto plugin = loadPlugin();
    ASSERT_TRUE(plugin);
    PluginControl control(plugin.get());
    std::string error;
    ASSERT_TRUE(control.selectProgram("MIDI Synced", &error));
    render::OfflineRenderer renderer(plugin.get(), 300, render::Transport());
    renderer.prepare(input.rateHz);
    renderer.render(input, notes, &output, nullptr);
    renderer.finish();
  }
  ASSERT_EQ(outputs[0].frameCount(), input.frameCount());
  EXPECT_EQ(outputs[0].channels, outputs[1].channels);
  double energy = 0.0;
  for (double sample : outputs[0].channels[0]) energy += sample * sample;
  EXPECT_GT(energy, 1.0);  // the notes made the MIDI program sound
}

TEST(OfflineRenderer, FeedsAMonoClipToBothInputsInBlocksOfAnySize) {
  render::AudioClip mono = render::DemoSignal::make(48000.0, 120.0, 0.5);
  mono.channels.resize(1);
  render::AudioClip outputs[2];
  const int blocks[2] = {4096, 37};  // larger than the plug-in's default, and odd
  for (int run = 0; run < 2; ++run) {
    auto plugin = loadPlugin();
    ASSERT_TRUE(plugin);
    render::OfflineRenderer renderer(plugin.get(), blocks[run], render::Transport());
    renderer.prepare(mono.rateHz);
    renderer.render(mono, {}, &outputs[run], nullptr);
    renderer.finish();
  }
  ASSERT_EQ(outputs[0].channelCount(), 2);
  EXPECT_EQ(outputs[0].rateHz, 48000.0);
  EXPECT_EQ(outputs[0].channels[0], outputs[0].channels[1]);
  double energy = 0.0;
  for (double sample : outputs[0].channels[0]) energy += sample * sample;
  EXPECT_GT(energy, 1.0);
  // The block size changes nothing in a program without tempo sync.
  EXPECT_EQ(outputs[0].channels, outputs[1].channels);
}

// The VST 2 adapter hands each message to effProcessEvents at its offset; the
// plug-in passes every MIDI event on to its host unchanged.
TEST(OfflineRenderer, SendsMidiAtItsSampleOffsetWithinTheBlock) {
  auto plugin = loadPlugin();
  ASSERT_TRUE(plugin);
  const render::AudioClip input = render::DemoSignal::make(44100.0, 120.0, 0.1);
  // Frame 1000 lies in the fourth block of 256 (768..1023) at offset 232; a
  // message after the end goes with the last block, at its last frame.
  std::vector<render::TimedMidiMessage> messages = {{1000.0 / 44100.0, 0x90, 60, 90},
                                                    {1.0, 0x80, 60, 0}};
  render::OfflineRenderer renderer(plugin.get(), 256, render::Transport());
  renderer.prepare(input.rateHz);
  plugin->host().host().clearRecords();
  render::AudioClip output;
  renderer.render(input, messages, &output, nullptr);
  renderer.finish();
  const std::vector<vsthost::HostEvent> events = plugin->host().host().events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].deltaFrames, 232);
  EXPECT_EQ(events[0].bytes[0], 0x90);
  EXPECT_EQ(events[1].deltaFrames, (4410 % 256) - 1);
}

// Events on block starts land on the first frame of a call either way: the
// split render is the whole-block render, to the bit.
TEST(OfflineRenderer, SplittingChangesNothingWhenEventsFallOnBlockStarts) {
  const render::AudioClip input = render::DemoSignal::make(44100.0, 120.0, 1.0);
  const std::vector<render::TimedMidiMessage> notes = {{256 * 10 / 44100.0, 0x90, 57, 100},
                                                       {256 * 60 / 44100.0, 0x80, 57, 0}};
  render::AutomationPoint mix;
  mix.seconds = 256 * 30 / 44100.0;
  mix.index = 1;  // Mix
  mix.normalised = 0.4;
  render::AudioClip outputs[2];
  for (int split = 0; split < 2; ++split) {
    auto plugin = loadPlugin();
    ASSERT_TRUE(plugin);
    PluginControl control(plugin.get());
    std::string error;
    ASSERT_TRUE(control.selectProgram("MIDI Standard", &error));
    render::OfflineRenderer renderer(plugin.get(), 256, render::Transport(), false, split == 1);
    renderer.prepare(input.rateHz);
    renderer.render(input, notes, {mix}, &outputs[split], nullptr);
    renderer.finish();
  }
  EXPECT_EQ(outputs[0].channels, outputs[1].channels);
}

TEST(Vst2RenderPlugin, TimeInfoCarriesTheTransportWithItsFlags) {
  render::BlockTransport t = render::transportAt(0, 48000.0, render::Transport());
  vst::VstTimeInfo info = render::Vst2RenderPlugin::timeInfo(t);
  const vst::int32 always =
      vst::kVstPpqPosValid | vst::kVstTempoValid | vst::kVstBarsValid | vst::kVstTimeSigValid;
  EXPECT_EQ(info.flags, always | vst::kVstTransportPlaying | vst::kVstTransportChanged);
  t = render::transportAt(72000, 48000.0, render::Transport());
  info = render::Vst2RenderPlugin::timeInfo(t);
  EXPECT_EQ(info.flags, always | vst::kVstTransportPlaying);
  EXPECT_EQ(info.samplePos, 72000.0);
  EXPECT_EQ(info.sampleRate, 48000.0);
  EXPECT_DOUBLE_EQ(info.ppqPos, 3.0);
  EXPECT_DOUBLE_EQ(info.barStartPos, 0.0);
  EXPECT_EQ(info.timeSigNumerator, 4);
}

}  // namespace
