// The state the newer formats store (HostSaveState / HostLoadState) and the
// import of VST 2 chunks into them (HostImportChunk): round trips, and that
// nothing but a whole, well-formed state changes an instance.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "TestPlug.h"
#include "plug/FormatState.h"

using testplug::TestPlug;

namespace {

// An instance whose presets and live values all differ from a fresh one's.
void MakeDistinct(TestPlug& p) {
  p.GetParam(0)->SetClamped(500.0);
  p.MakeDefaultPresets("Factory", 4);  // presets 0..3 hold 500; 4..9 stay empty
  ASSERT_TRUE(p.RestorePreset(2));
  p.GetParam(0)->SetClamped(42.0);  // live, not yet in preset 2
  p.GetParam(2)->SetClamped(-7.0);
}

plug::StateChunk SaveState(TestPlug& p) {
  plug::InstanceLock lock(p.Mutex());
  plug::StateChunk chunk;
  EXPECT_TRUE(p.HostSaveState(&chunk));
  return chunk;
}

bool LoadState(TestPlug& p, const plug::StateChunk& chunk) {
  plug::InstanceLock lock(p.Mutex());
  return p.HostLoadState(&chunk);
}

plug::StateChunk Prefix(const plug::StateChunk& chunk, int n) {
  plug::StateChunk cut;
  cut.AppendBytes(chunk.Data(), n);
  return cut;
}

// Everything an instance would store, for comparing before and after.
plug::StateChunk Snapshot(TestPlug& p) {
  plug::StateChunk all = SaveState(p);
  for (int i = 0; i < p.NParams(); ++i) all.AppendDouble(p.GetParam(i)->Value());
  return all;
}

bool SameBytes(const plug::StateChunk& a, const plug::StateChunk& b) {
  return a.Size() == b.Size() && std::memcmp(a.Data(), b.Data(), a.Size()) == 0;
}

}  // namespace

TEST(FormatState, RoundTripKeepsPresetsTheCurrentOneAndItsLiveValues) {
  TestPlug a;
  MakeDistinct(a);
  const plug::StateChunk state = SaveState(a);
  // The bank chunk's bytes, then the current preset's index.
  plug::StateChunk bank;
  {
    plug::InstanceLock lock(a.Mutex());
    ASSERT_TRUE(a.HostSaveChunk(&bank, true));
  }
  ASSERT_EQ(state.Size(), bank.Size() + 4);
  EXPECT_EQ(std::memcmp(state.Data(), bank.Data(), bank.Size()), 0);

  TestPlug b;
  b.MakeDefaultPresets("Empty", b.NPresets());
  ASSERT_TRUE(LoadState(b, state));
  EXPECT_EQ(b.GetCurrentPresetIdx(), 2);
  EXPECT_EQ(b.GetParam(0)->Value(), 42.0);
  EXPECT_EQ(b.GetParam(2)->Value(), -7.0);
  EXPECT_STREQ(b.GetPresetName(3), "Factory");
  EXPECT_FALSE(b.GetPreset(4)->initialised);
  EXPECT_TRUE(SameBytes(SaveState(b), state));
}

TEST(FormatState, AnythingButAWholeStateChangesNothing) {
  TestPlug source;
  MakeDistinct(source);
  const plug::StateChunk state = SaveState(source);

  TestPlug p;
  p.MakeDefaultPresets("Mine", p.NPresets());
  p.GetParam(0)->SetClamped(7.0);
  const plug::StateChunk before = Snapshot(p);
  p.changed.clear();

  for (int n = 0; n < state.Size(); ++n) {
    EXPECT_FALSE(LoadState(p, Prefix(state, n))) << "cut at " << n;
  }
  plug::StateChunk longer = state;
  longer.AppendByte(0);
  EXPECT_FALSE(LoadState(p, longer));
  for (std::int32_t index : {-1, 10, 0x7fffffff}) {
    plug::StateChunk bad = Prefix(state, state.Size() - 4);
    bad.AppendInt(index);
    EXPECT_FALSE(LoadState(p, bad)) << "index " << index;
  }
  plug::StateChunk hugeName = Prefix(state, 8);
  hugeName.AppendInt(0x7ffffff0);
  EXPECT_FALSE(LoadState(p, hugeName));
  std::mt19937 random(19);
  for (int trial = 0; trial < 200; ++trial) {
    plug::StateChunk noise;
    const int size = static_cast<int>(random() % 600);
    for (int i = 0; i < size; ++i) noise.AppendByte(static_cast<std::uint8_t>(random()));
    if (trial % 2) std::memcpy(noise.Data(), state.Data(), size < 8 ? size : 8);  // our header
    EXPECT_FALSE(LoadState(p, noise)) << "trial " << trial;
  }

  EXPECT_TRUE(p.changed.empty());
  EXPECT_TRUE(SameBytes(Snapshot(p), before));
}

TEST(FormatState, WholeVst2ChunksImportAndCutOnesAreRefused) {
  TestPlug source;
  MakeDistinct(source);
  plug::StateChunk bank, program;
  {
    plug::InstanceLock lock(source.Mutex());
    ASSERT_TRUE(source.HostSaveChunk(&bank, true));
    ASSERT_TRUE(source.HostSaveChunk(&program, false));
  }
  for (bool isBank : {true, false}) {
    const plug::StateChunk& chunk = isBank ? bank : program;
    TestPlug p;
    p.MakeDefaultPresets("Mine", p.NPresets());
    testplug::StubEditor* editor = new testplug::StubEditor();
    p.AttachEditor(editor);
    const plug::StateChunk before = Snapshot(p);
    plug::InstanceLock lock(p.Mutex());
    for (int n = 0; n < chunk.Size(); ++n) {
      const plug::StateChunk cut = Prefix(chunk, n);
      EXPECT_FALSE(p.HostImportChunk(&cut, isBank)) << isBank << " cut at " << n;
    }
    EXPECT_TRUE(SameBytes(Snapshot(p), before));
    editor->shown.clear();
    ASSERT_TRUE(p.HostImportChunk(&chunk, isBank));
    // A bank restores the importer's current preset (0); a program the live values.
    EXPECT_EQ(p.GetParam(0)->Value(), isBank ? 500.0 : 42.0);
    EXPECT_EQ(p.GetParam(2)->Value(), isBank ? 0.0 : -7.0);
    EXPECT_FALSE(editor->shown.empty()) << "the editor shows the imported values";
  }
}
