// Program and bank chunks through effGetChunk / effSetChunk: index 0 a bank,
// any other a program, the host's buffers checked, the quirk hosts. The
// layouts themselves are the base's (tests/plug/ChunksTest.cpp).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "Vst2TestPlug.h"

using testplug::BoundPlug;
using testplug::TestHost;

namespace {

std::vector<unsigned char> GetChunk(BoundPlug& p, bool bank) {
  void* data = nullptr;
  vst::intptr size = p.Dispatch(vst::effGetChunk, bank ? 0 : 1, 0, &data);
  if (size <= 0 || !data) return {};
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

vst::intptr SetChunk(BoundPlug& p, std::vector<unsigned char> bytes, bool bank) {
  return p.Dispatch(vst::effSetChunk, bank ? 0 : 1, static_cast<vst::intptr>(bytes.size()),
                    bytes.data());
}

void AppendDouble(std::vector<unsigned char>& v, double d) {
  unsigned char b[8];
  std::memcpy(b, &d, 8);
  v.insert(v.end(), b, b + 8);
}

void AppendInt(std::vector<unsigned char>& v, int i) {
  for (int k = 0; k < 4; ++k)
    v.push_back(static_cast<unsigned char>(static_cast<unsigned>(i) >> (8 * k)));
}

class Chunks : public ::testing::Test {
 protected:
  void SetUp() override { TestHost::current = &host; }
  void TearDown() override { TestHost::current = nullptr; }
  TestHost host;
};

}  // namespace

// Index 0 asks for (and hands over) a bank, any other index a program.
TEST_F(Chunks, IndexZeroIsTheBankAnyOtherTheProgram) {
  BoundPlug a;
  a.p.MakeDefaultPresets("Empty", a.p.NPresets());
  a.Dispatch(vst::effSetProgramName, 0, 0, const_cast<char*>("Glass"));
  const auto program = GetChunk(a, false);
  EXPECT_EQ(program.size(), 8u + 4 * 8 + 4 + 5);  // header, four values, the name
  const auto bank = GetChunk(a, true);
  // Ten presets, each: name length, five letters, flag, four values.
  EXPECT_EQ(bank.size(), 8u + 10 * (4 + 5 + 1 + 4 * 8));

  BoundPlug b;
  b.p.MakeDefaultPresets("Other", b.p.NPresets());
  EXPECT_EQ(SetChunk(b, program, false), 1);
  EXPECT_STREQ(b.p.GetPresetName(0), "Glass");
  EXPECT_EQ(SetChunk(b, bank, true), 1);
  EXPECT_STREQ(b.p.GetPresetName(9), "Empty");
}

TEST_F(Chunks, UnreadableDataAnswersZeroOnEveryPath) {
  for (const char* vendor : {"", "Native Instruments"}) {
    TestHost h;
    h.vendor = vendor;
    TestHost::current = &h;
    BoundPlug p;
    p.p.MakeDefaultPresets("Empty", p.p.NPresets());
    unsigned char byte = 0;
    for (bool bank : {false, true}) {
      SCOPED_TRACE(std::string(vendor) + (bank ? " bank" : " program"));
      EXPECT_EQ(p.Dispatch(vst::effSetChunk, bank ? 0 : 1, 0, &byte), 0);
      EXPECT_EQ(p.Dispatch(vst::effSetChunk, bank ? 0 : 1, -16, &byte), 0);
      EXPECT_EQ(p.Dispatch(vst::effSetChunk, bank ? 0 : 1, 4, nullptr), 0);
      std::vector<unsigned char> cut = {'t', 'f', 'f', 'p', 0, 0, 1, 0, 1, 2, 3};
      EXPECT_EQ(SetChunk(p, cut, bank), 0);
      std::vector<unsigned char> magicOnly = {'t', 'f', 'f', 'p'};
      EXPECT_EQ(SetChunk(p, magicOnly, bank), 0);
      // Values complete, but the name's length runs past the end.
      std::vector<unsigned char> named = {'t', 'f', 'f', 'p', 0, 0, 1, 0};
      for (int i = 0; i < 4; ++i) AppendDouble(named, 1.0);
      AppendInt(named, 1000);
      named.push_back('x');
      EXPECT_EQ(SetChunk(p, named, false), 0);
    }
  }
}

TEST_F(Chunks, QuirkHostGetsProgramsAndItsBanksStillLoad) {
  host.vendor = "native instruments";
  BoundPlug a;
  a.p.MakeDefaultPresets("Empty", a.p.NPresets());
  a.p.GetParam(0)->SetClamped(77.0);
  auto chunk = GetChunk(a, true);
  EXPECT_EQ(chunk.size(), 8u + 4 * 8 + 4 + 5);  // a program chunk

  // A bank made for another host, handed back by the quirk host.
  TestHost plain;
  TestHost::current = &plain;
  BoundPlug maker;
  maker.p.MakeDefaultPresets("Bank", maker.p.NPresets());
  maker.p.GetParam(0)->SetClamped(99.0);
  auto bank = GetChunk(maker, true);
  TestHost::current = &host;
  BoundPlug b;
  b.p.MakeDefaultPresets("Empty", b.p.NPresets());
  EXPECT_EQ(SetChunk(b, bank, true), 1);
  EXPECT_EQ(b.p.GetParam(0)->Value(), 99.0);
  EXPECT_STREQ(b.p.GetPresetName(9), "Bank");
}

TEST_F(Chunks, RandomBytesNeverCrash) {
  std::mt19937 rng(1234);
  for (const char* vendor : {"", "JUCE VST Host"}) {
    TestHost h;
    h.vendor = vendor;
    TestHost::current = &h;
    BoundPlug p;
    p.p.MakeDefaultPresets("Empty", p.p.NPresets());
    auto valid = GetChunk(p, true);
    for (int round = 0; round < 300; ++round) {
      std::vector<unsigned char> data = valid;
      data.resize(rng() % (valid.size() + 16));
      for (int k = 0; k < 6 && !data.empty(); ++k)
        data[rng() % data.size()] = static_cast<unsigned char>(rng());
      SetChunk(p, data, round % 2 == 0);
      for (int i = 0; i < p.p.NParams(); ++i) ASSERT_TRUE(std::isfinite(p.p.GetParam(i)->Value()));
    }
  }
}

TEST_F(Chunks, GettingTwiceHandsBackOurOwnBufferSafely) {
  BoundPlug p;
  p.p.MakeDefaultPresets("Empty", p.p.NPresets());
  void* data = nullptr;
  vst::intptr size = p.Dispatch(vst::effGetChunk, 1, 0, &data);
  ASSERT_GT(size, 0);
  // Hosts hand back the buffer we gave them.
  EXPECT_EQ(p.Dispatch(vst::effSetChunk, 1, size, data), 1);
  EXPECT_EQ(p.Dispatch(vst::effGetChunk, 1, 0, nullptr), 0);
}
