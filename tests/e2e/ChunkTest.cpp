// Program and bank chunks of the shipped binary: what a host stores in a
// project must bring a new instance back to the same state, and damaged data
// must not take the instance down.
#include <cstdint>
#include <string>
#include <vector>

#include "ShippedPlugin.h"

namespace e2e {
namespace {

using vsthost::ChunkKind;

using Chunks = ShippedPlugin;

// Distinct, non-default normalised values for every parameter.
void setDistinctValues(vsthost::PluginHost& plugin, float offset) {
  for (vst::int32 i = 0; i < kNumParams; ++i) {
    plugin.setParameter(i, offset + 0.02f * static_cast<float>(i % 20));
  }
}

TEST_F(Chunks, ProgramChunkRestoresParametersAndNameInANewInstance) {
  plugin_.open();
  setDistinctValues(plugin_, 0.3f);
  char name[] = "Chunk Round Trip";
  plugin_.dispatch(vst::effSetProgramName, 0, 0, name);
  const std::vector<float> saved = parameterValues();
  std::vector<std::uint8_t> chunk;
  const vst::intptr size = plugin_.getChunk(ChunkKind::kProgram, &chunk);
  ASSERT_GT(size, 0);
  ASSERT_EQ(chunk.size(), static_cast<std::size_t>(size));

  recreate();
  ASSERT_NE(parameterValues(), saved) << "a new instance should start from other values";
  EXPECT_EQ(plugin_.setChunk(ChunkKind::kProgram, chunk), 1);
  EXPECT_EQ(parameterValues(), saved);
  EXPECT_EQ(plugin_.programName(), "Chunk Round Trip");

  // The same state gives the same chunk.
  std::vector<std::uint8_t> again;
  plugin_.getChunk(ChunkKind::kProgram, &again);
  EXPECT_EQ(again, chunk);
}

TEST_F(Chunks, BankChunkRestoresEveryProgramInANewInstance) {
  plugin_.open();
  plugin_.dispatch(vst::effSetProgram, 0, 2);
  setDistinctValues(plugin_, 0.5f);
  char nameTwo[] = "Bank Two";
  plugin_.dispatch(vst::effSetProgramName, 0, 0, nameTwo);
  const std::vector<float> programTwo = parameterValues();
  plugin_.dispatch(vst::effSetProgram, 0, 0);
  setDistinctValues(plugin_, 0.1f);
  char nameZero[] = "Bank Zero";
  plugin_.dispatch(vst::effSetProgramName, 0, 0, nameZero);
  const std::vector<float> programZero = parameterValues();
  std::vector<std::uint8_t> bank;
  ASSERT_GT(plugin_.getChunk(ChunkKind::kBank, &bank), 0);
  std::vector<std::uint8_t> program;
  ASSERT_GT(plugin_.getChunk(ChunkKind::kProgram, &program), 0);
  EXPECT_GT(bank.size(), program.size());

  recreate();
  EXPECT_EQ(plugin_.setChunk(ChunkKind::kBank, bank), 1);
  EXPECT_EQ(plugin_.queryText(vst::effGetProgramNameIndexed, 2).text, "Bank Two");
  EXPECT_EQ(plugin_.queryText(vst::effGetProgramNameIndexed, 0).text, "Bank Zero");
  EXPECT_EQ(plugin_.dispatch(vst::effGetProgram), 0);
  EXPECT_EQ(parameterValues(), programZero);
  plugin_.dispatch(vst::effSetProgram, 0, 2);
  EXPECT_EQ(parameterValues(), programTwo);
  EXPECT_EQ(plugin_.programName(), "Bank Two");
}

TEST_F(Chunks, QuirkHostGetsAProgramChunkForABankRequest) {
  // Rebuild with a host whose vendor string marks the chunk quirk.
  auto* host = new vsthost::ScriptedHost();
  host->setVendorString("Native Instruments");
  vsthost::PluginHost quirky(host);
  std::string error;
  ASSERT_EQ(quirky.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  quirky.open();
  setDistinctValues(quirky, 0.2f);
  std::vector<std::uint8_t> asBank;
  std::vector<std::uint8_t> asProgram;
  ASSERT_GT(quirky.getChunk(ChunkKind::kBank, &asBank), 0);
  ASSERT_GT(quirky.getChunk(ChunkKind::kProgram, &asProgram), 0);
  EXPECT_EQ(asBank, asProgram);

  // A bank saved by an ordinary host still loads in the quirk host: the data
  // is read as a program first, then again as a bank.
  plugin_.open();
  plugin_.dispatch(vst::effSetProgram, 0, 4);
  char name[] = "From Elsewhere";
  plugin_.dispatch(vst::effSetProgramName, 0, 0, name);
  plugin_.dispatch(vst::effSetProgram, 0, 0);
  std::vector<std::uint8_t> ordinaryBank;
  ASSERT_GT(plugin_.getChunk(ChunkKind::kBank, &ordinaryBank), 0);
  EXPECT_EQ(quirky.setChunk(ChunkKind::kBank, ordinaryBank), 1);
  EXPECT_EQ(quirky.queryText(vst::effGetProgramNameIndexed, 4).text, "From Elsewhere");

  // A vendor that only starts with the same words is an ordinary host.
  vsthost::PluginHost suffixed;
  suffixed.host().setVendorString("Native Instruments GmbH");
  ASSERT_EQ(suffixed.load(QUILLET_PLUGIN_PATH, &error), vsthost::LoadStatus::kLoaded) << error;
  std::vector<std::uint8_t> bank;
  std::vector<std::uint8_t> program;
  suffixed.getChunk(ChunkKind::kBank, &bank);
  suffixed.getChunk(ChunkKind::kProgram, &program);
  EXPECT_GT(bank.size(), program.size());
}

TEST_F(Chunks, DamagedDataLeavesAWorkingInstance) {
  plugin_.open();
  std::vector<std::uint8_t> good;
  ASSERT_GT(plugin_.getChunk(ChunkKind::kProgram, &good), 0);
  std::vector<std::uint8_t> goodBank;
  ASSERT_GT(plugin_.getChunk(ChunkKind::kBank, &goodBank), 0);

  std::vector<std::vector<std::uint8_t>> damaged;
  damaged.push_back({});
  damaged.push_back({0x01});
  damaged.push_back(std::vector<std::uint8_t>(good.begin(), good.begin() + good.size() / 2));
  damaged.push_back(std::vector<std::uint8_t>(good.begin(), good.end() - 1));
  damaged.push_back(
      std::vector<std::uint8_t>(goodBank.begin(), goodBank.begin() + goodBank.size() / 3));
  damaged.push_back(std::vector<std::uint8_t>(4096, 0xFF));
  std::vector<std::uint8_t> noise(777);
  std::uint32_t state = 12345;
  for (std::uint8_t& byte : noise) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  damaged.push_back(noise);
  // A valid header followed by huge length fields.
  std::vector<std::uint8_t> lengths(good.begin(),
                                    good.begin() + std::min<std::size_t>(8, good.size()));
  lengths.insert(lengths.end(), 64, 0xFF);
  damaged.push_back(lengths);

  for (std::size_t i = 0; i < damaged.size(); ++i) {
    SCOPED_TRACE(testing::Message()
                 << "damaged chunk " << i << " of " << damaged[i].size() << " bytes");
    for (ChunkKind kind : {ChunkKind::kProgram, ChunkKind::kBank}) {
      const vst::intptr result = plugin_.setChunk(kind, damaged[i]);
      EXPECT_TRUE(result == 0 || result == 1);
    }
    for (float value : parameterValues()) {
      EXPECT_GE(value, 0.0f);
      EXPECT_LE(value, 1.0f);
    }
  }
  // Still able to take a good chunk back.
  setDistinctValues(plugin_, 0.4f);
  std::vector<std::uint8_t> fresh;
  ASSERT_GT(plugin_.getChunk(ChunkKind::kProgram, &fresh), 0);
  const std::vector<float> values = parameterValues();
  recreate();
  EXPECT_EQ(plugin_.setChunk(ChunkKind::kProgram, fresh), 1);
  EXPECT_EQ(parameterValues(), values);
}

}  // namespace
}  // namespace e2e
