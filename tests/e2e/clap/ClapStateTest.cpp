// State through the state extension, as hosts hand it over (in pieces of a
// few bytes), and as hosts may hand it over (cut, garbage, endless, failing):
// a whole state gives back the same sound and presets; anything else is
// refused and changes nothing. The factory presets through preset discovery
// and preset load.
#include <cstring>
#include <random>

#include "e2e/clap/ClapFixture.h"

namespace e2e_clap {

namespace {

// A state with every preset touched: values changed, preset 4 current.
std::vector<std::uint8_t> ChangedState(ShippedClap* test, claphost::ClapPluginHost* host) {
  EXPECT_TRUE(host->loadPreset(clap::kPresetLocationPlugin, nullptr, "4"));
  const clap::EventParamValue mix = claphost::paramValueEvent(0, kMix, 0.37);
  const clap::EventParamValue mode = claphost::paramValueEvent(0, kGrainMode, 3.0);
  host->input().events().add(&mix.header);
  host->input().events().add(&mode.header);
  host->flush();
  std::vector<std::uint8_t> bytes;
  EXPECT_TRUE(host->saveState(&bytes, 3));
  return bytes;
}

}  // namespace

TEST_F(ShippedClap, StateRoundTripGivesTheSameValuesPresetsAndSound) {
  const std::vector<std::uint8_t> saved = ChangedState(this, &host_);
  ASSERT_GT(saved.size(), 100u);
  // The format state: the VST 2 bank chunk ("tffp" first), then the index.
  EXPECT_EQ(std::memcmp(saved.data(), "tffp", 4), 0);
  EXPECT_EQ(saved[saved.size() - 4], 4);
  const std::vector<double> savedValues = values();
  activate();
  const std::vector<double> sound = processBlock(512);

  claphost::ClapPluginHost other;
  std::string error;
  ASSERT_TRUE(other.load(QUILLET_CLAP_PATH, &error)) << error;
  ASSERT_TRUE(other.create(&error)) << error;
  // Pieces of five bytes, as some hosts hand them.
  ASSERT_TRUE(other.loadState(saved, 5));
  for (int i = 0; i < kParamCount; ++i)
    EXPECT_EQ(other.paramValue(static_cast<clap::Id>(i)), savedValues[static_cast<std::size_t>(i)]);
  std::vector<std::uint8_t> again;
  ASSERT_TRUE(other.saveState(&again));
  EXPECT_EQ(again, saved);
  // The host heard that every value may have changed.
  ASSERT_FALSE(other.record().rescans.empty());
  EXPECT_TRUE(other.record().rescans.back() & clap::kParamRescanValues);

  host_.destroy();
  ASSERT_TRUE(other.activate(44100.0, 1, 512));
  ASSERT_TRUE(other.startProcessing());
  std::vector<double> in[2], out[2];
  for (int c = 0; c < 2; ++c) {
    in[c] = in_[c];
    out[c].assign(512, 0.0);
  }
  double* ins[] = {in[0].data(), in[1].data()};
  double* outs[] = {out[0].data(), out[1].data()};
  other.processDouble(ins, outs, 512);
  EXPECT_EQ(out[0], sound);
}

TEST_F(ShippedClap, CutGarbageEndlessAndFailingStreamsChangeNothing) {
  const std::vector<std::uint8_t> saved = ChangedState(this, &host_);
  // Back to a known, different state.
  ASSERT_TRUE(host_.loadPreset(clap::kPresetLocationPlugin, nullptr, "1"));
  const std::vector<std::uint8_t> before = state();
  ASSERT_NE(before, saved);

  // Cut at every byte.
  for (std::size_t n = 0; n < saved.size(); ++n) {
    std::vector<std::uint8_t> cut(saved.begin(), saved.begin() + static_cast<long>(n));
    EXPECT_FALSE(host_.loadState(cut, 7)) << "cut at " << n;
  }
  // Longer than a state, and random bytes of every kind of length.
  std::vector<std::uint8_t> longer = saved;
  longer.push_back(0);
  EXPECT_FALSE(host_.loadState(longer));
  std::mt19937 random(19);
  for (int round = 0; round < 200; ++round) {
    std::vector<std::uint8_t> junk(random() % (saved.size() * 2));
    for (auto& b : junk) b = static_cast<std::uint8_t>(random());
    if (round % 2 == 0 && junk.size() >= 8) std::memcpy(junk.data(), saved.data(), 8);
    EXPECT_FALSE(host_.loadState(junk));
  }
  // The right bytes with one flipped in the preset index.
  std::vector<std::uint8_t> badIndex = saved;
  badIndex[badIndex.size() - 4] = 10;
  EXPECT_FALSE(host_.loadState(badIndex));
  // A stream that never ends, and one that fails half way.
  EXPECT_FALSE(host_.loadState(std::vector<std::uint8_t>(3 << 20, 0x41)));
  claphost::MemoryIStream failing(saved, 64, static_cast<long long>(saved.size() / 2));
  EXPECT_FALSE(host_.state()->load(host_.plugin(), failing.stream()));
  // A stream that claims more than it was asked for.
  clap::IStream liar{nullptr, [](const clap::IStream*, void*, std::uint64_t size) {
                       return static_cast<std::int64_t>(size + 1);
                     }};
  EXPECT_FALSE(host_.state()->load(host_.plugin(), &liar));
  EXPECT_FALSE(host_.state()->load(host_.plugin(), nullptr));

  EXPECT_EQ(state(), before);
  // And the whole one still loads.
  EXPECT_TRUE(host_.loadState(saved, 1));
  EXPECT_EQ(state(), saved);
}

TEST_F(ShippedClap, SaveReportsAStreamThatFails) {
  claphost::MemoryOStream failing(16, 40);
  EXPECT_FALSE(host_.state()->save(host_.plugin(), failing.stream()));
  clap::OStream stuck{nullptr, [](const clap::OStream*, const void*, std::uint64_t) {
                        return static_cast<std::int64_t>(0);
                      }};
  EXPECT_FALSE(host_.state()->save(host_.plugin(), &stuck));
}

TEST_F(ShippedClap, FactoryPresetsAreDiscoveredAndLoaded) {
  std::vector<claphost::DiscoveredPreset> presets;
  std::string error;
  ASSERT_TRUE(host_.discoverPresets(&presets, &error)) << error;
  ASSERT_EQ(presets.size(), static_cast<std::size_t>(kPresetCount));
  const char* const names[] = {"default",     "Sync 2 Host",    "Frequency",        "MIDI Standard",
                               "MIDI Synced", "Ring Modulator", "Synced Reversals", "Sequenced",
                               "Slap Back",   "Strange Mix"};
  for (int i = 0; i < kPresetCount; ++i) {
    const auto& preset = presets[static_cast<std::size_t>(i)];
    EXPECT_EQ(preset.name, names[i]);
    EXPECT_EQ(preset.loadKey, std::to_string(i));
    EXPECT_EQ(preset.locationKind, clap::kPresetLocationPlugin);
    ASSERT_EQ(preset.pluginIds.size(), 1u);
    EXPECT_EQ(preset.pluginIds[0], "clap:com.vellum-music.quillet");
  }

  host_.record() = claphost::HostRecord{};
  ASSERT_TRUE(host_.loadPreset(clap::kPresetLocationPlugin, nullptr, "3"));
  EXPECT_EQ(host_.record().presetsLoaded, std::vector<std::string>{"3"});
  EXPECT_GE(host_.record().markDirty, 1);
  ASSERT_FALSE(host_.record().rescans.empty());
  const std::vector<std::uint8_t> bytes = state();
  EXPECT_EQ(bytes[bytes.size() - 4], 3);  // the current preset
  EXPECT_EQ(host_.paramText(kGrainMode, host_.paramValue(kGrainMode)), "MIDI");

  for (const char* key : {"10", "-1", "03", "", "x", "99999999999"})
    EXPECT_FALSE(host_.loadPreset(clap::kPresetLocationPlugin, nullptr, key)) << key;
  EXPECT_FALSE(host_.loadPreset(clap::kPresetLocationPlugin, nullptr, nullptr));
  EXPECT_FALSE(host_.loadPreset(clap::kPresetLocationFile, "/no/such/file", nullptr));
  EXPECT_EQ(host_.record().presetErrors.size(), 8u);
  EXPECT_EQ(state(), bytes);
}

}  // namespace e2e_clap
