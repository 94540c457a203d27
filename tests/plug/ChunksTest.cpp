// The chunks every format stores (HostSaveChunk / HostLoadChunk): the program
// and bank layouts, bare values, and what broken data leaves behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "TestPlug.h"

using testplug::TestPlug;

namespace {

plug::StateChunk Save(TestPlug& p, bool bank) {
  plug::InstanceLock lock(p.Mutex());
  plug::StateChunk chunk;
  EXPECT_TRUE(p.HostSaveChunk(&chunk, bank));
  return chunk;
}

int Load(TestPlug& p, const plug::StateChunk& chunk, bool bank) {
  plug::InstanceLock lock(p.Mutex());
  return p.HostLoadChunk(&chunk, bank);
}

plug::StateChunk Header() {
  plug::StateChunk chunk;
  plug::IPlugBase::WriteChunkHeader(&chunk);
  return chunk;
}

}  // namespace

TEST(Chunks, ProgramLayoutRoundTripsBitExactWithItsName) {
  TestPlug a;
  a.MakeDefaultPresets("Empty", a.NPresets());
  a.GetParam(0)->SetClamped(123.456789012345678);
  a.GetParam(2)->SetClamped(-7.0);
  {
    plug::InstanceLock lock(a.Mutex());
    a.HostRenamePreset("Glass");
  }
  const plug::StateChunk chunk = Save(a, false);
  ASSERT_EQ(chunk.Size(), 8 + 4 * 8 + 4 + 5);
  const unsigned char header[] = {'t', 'f', 'f', 'p', 0, 0, 1, 0};
  EXPECT_EQ(std::memcmp(chunk.Data(), header, 8), 0);
  EXPECT_EQ(std::memcmp(chunk.Data() + chunk.Size() - 5, "Glass", 5), 0);

  TestPlug b;
  b.MakeDefaultPresets("Empty", b.NPresets());
  EXPECT_EQ(Load(b, chunk, false), chunk.Size());
  for (int i = 0; i < a.NParams(); ++i) {
    double va = a.GetParam(i)->Value(), vb = b.GetParam(i)->Value();
    EXPECT_EQ(std::memcmp(&va, &vb, sizeof va), 0) << "parameter " << i;
  }
  EXPECT_STREQ(b.GetPresetName(0), "Glass");
}

TEST(Chunks, BankKeepsEveryPresetAndTheLiveValuesOfTheCurrentOne) {
  TestPlug a;
  a.GetParam(0)->SetClamped(500.0);
  a.MakeDefaultPresets("Factory", 3);  // presets 0..2 hold the state; 3..9 stay empty
  ASSERT_TRUE(a.RestorePreset(1));
  a.GetParam(0)->SetClamped(42.0);  // live, not yet in preset 1
  const plug::StateChunk bank = Save(a, true);

  TestPlug b;
  b.MakeDefaultPresets("Other", 2);
  EXPECT_EQ(Load(b, bank, true), bank.Size());
  EXPECT_STREQ(b.GetPresetName(1), "Factory");
  EXPECT_FALSE(b.GetPreset(5)->initialised);
  EXPECT_EQ(b.GetParam(0)->Value(), 500.0);  // b's current preset 0, restored
  b.RestorePreset(1);
  EXPECT_EQ(b.GetParam(0)->Value(), 42.0);
}

TEST(Chunks, BareValuesAndOldBanksReadAsProgramsKeepingTheName) {
  TestPlug p;
  p.MakeDefaultPresets("Keep", p.NPresets());
  plug::StateChunk bare;
  for (double v : {50.0, 2.0, 3.0, 0.5}) bare.AppendDouble(v);
  EXPECT_EQ(Load(p, bare, false), bare.Size());
  EXPECT_EQ(p.GetParam(0)->Value(), 50.0);
  EXPECT_STREQ(p.GetPresetName(0), "Keep");

  // A bank request whose header is older than the framework's reads a program.
  plug::StateChunk old;
  old.AppendInt(plug::IPlugBase::kChunkMagic);
  old.AppendInt(0x0000FFFF);
  for (double v : {60.0, 1.0, 3.0, 0.5}) old.AppendDouble(v);
  EXPECT_EQ(Load(p, old, true), old.Size());
  EXPECT_EQ(p.GetParam(0)->Value(), 60.0);
  EXPECT_STREQ(p.GetPresetName(0), "Keep");
}

TEST(Chunks, CutDataReportsMinusOneAndKeepsWhatWasRead) {
  TestPlug p;
  p.MakeDefaultPresets("Keep", p.NPresets());
  plug::StateChunk named = Header();
  for (double v : {70.0, 1.0, 2.0, 0.0}) named.AppendDouble(v);
  named.AppendInt(1000);  // a name longer than what follows
  named.AppendByte('x');
  EXPECT_EQ(Load(p, named, false), -1);
  EXPECT_EQ(p.GetParam(0)->Value(), 70.0);
  EXPECT_STREQ(p.GetPresetName(0), "Keep");

  plug::StateChunk values = Header();
  values.AppendDouble(80.0);
  EXPECT_EQ(Load(p, values, false), -1);
  EXPECT_EQ(p.GetParam(0)->Value(), 80.0);
  EXPECT_EQ(p.GetParam(1)->Value(), 0.0);  // the missing value: 0 clamped
}

TEST(Chunks, NanAndInfinityInStoredStateNeverBecomeValues) {
  TestPlug p;
  p.MakeDefaultPresets("Empty", p.NPresets());
  plug::StateChunk bad;
  bad.AppendDouble(std::nan(""));
  bad.AppendDouble(std::numeric_limits<double>::infinity());
  bad.AppendDouble(-std::numeric_limits<double>::infinity());
  bad.AppendDouble(1e300);
  EXPECT_EQ(Load(p, bad, false), bad.Size());
  for (int i = 0; i < p.NParams(); ++i) {
    EXPECT_TRUE(std::isfinite(p.GetParam(i)->Value())) << i;
    EXPECT_GE(p.GetParam(i)->NormalizedValue(), 0.0) << i;
    EXPECT_LE(p.GetParam(i)->NormalizedValue(), 1.0) << i;
  }
}
