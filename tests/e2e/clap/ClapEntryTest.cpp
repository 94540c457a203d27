// What a CLAP host sees before it makes an instance, and the instance's
// ports and extensions.
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <thread>

#include "e2e/clap/ClapFixture.h"

namespace e2e_clap {

namespace {

// Released IDs never change: this is the literal, not the constant.
constexpr const char* kReleasedId = "com.vellum-music.quillet";

}  // namespace

TEST_F(ShippedClap, EntryAndFactoryNameOneStablePlugIn) {
  const clap::PluginEntry* entry = host_.entry();
  EXPECT_EQ(entry->clapVersion.major, 1u);
  EXPECT_TRUE(clap::IsCompatible(entry->clapVersion));
  EXPECT_EQ(entry->getFactory("clap.no-such-factory"), nullptr);
  EXPECT_NE(entry->getFactory(clap::kPresetDiscoveryFactoryId), nullptr);
  EXPECT_EQ(entry->getFactory(clap::kPresetDiscoveryFactoryIdCompat),
            entry->getFactory(clap::kPresetDiscoveryFactoryId));

  const clap::PluginFactory* factory = host_.factory();
  ASSERT_EQ(factory->getPluginCount(factory), 1u);
  EXPECT_EQ(factory->getPluginDescriptor(factory, 1), nullptr);
  const clap::PluginDescriptor* d = factory->getPluginDescriptor(factory, 0);
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->id, kReleasedId);
  EXPECT_STREQ(d->name, "Quillet");
  EXPECT_STREQ(d->vendor, "Vellum Music");
  EXPECT_STREQ(d->version, "1.1.2");
  EXPECT_EQ(std::string(d->url), std::string("https://") + QUILLET_WEB_HOST + "/");
  EXPECT_STREQ(d->manualUrl, d->url);
  EXPECT_STREQ(d->supportUrl, d->url);
  std::set<std::string> features;
  for (const char* const* f = d->features; *f; ++f) features.insert(*f);
  EXPECT_EQ(features.count("audio-effect"), 1u);
  EXPECT_EQ(features.count("stereo"), 1u);
  EXPECT_EQ(features.count("granular"), 1u);
  // The instance names the same descriptor.
  EXPECT_EQ(host_.plugin()->desc, d);
}

TEST_F(ShippedClap, FactoryRefusesOtherIdsAndOldHosts) {
  const clap::PluginFactory* factory = host_.factory();
  clap::Host host{};
  host.clapVersion = clap::kVersion;
  host.name = "other";
  host.version = "1";
  EXPECT_EQ(factory->createPlugin(factory, &host, "com.vellum-music.quillet2"), nullptr);
  EXPECT_EQ(factory->createPlugin(factory, &host, nullptr), nullptr);
  EXPECT_EQ(factory->createPlugin(factory, nullptr, kReleasedId), nullptr);
  host.clapVersion = clap::Version{0, 19, 0};
  EXPECT_EQ(factory->createPlugin(factory, &host, kReleasedId), nullptr);
}

// Hosts only try to pair init and deinit: extra calls change nothing, and
// instances are made while any init is outstanding.
TEST_F(ShippedClap, RepeatedInitAndDeinitAreCounted) {
  const clap::PluginEntry* entry = host_.entry();
  host_.destroy();
  EXPECT_TRUE(entry->init(QUILLET_CLAP_PATH));
  EXPECT_TRUE(entry->init(QUILLET_CLAP_PATH));
  entry->deinit();
  entry->deinit();
  std::string error;
  EXPECT_TRUE(host_.create(&error)) << error;  // the host's own init still counts
}

TEST_F(ShippedClap, PortsAreOneStereoPairAndOneMidiPortEachWay) {
  const auto* audio = host_.extension<clap::PluginAudioPorts>(clap::kExtAudioPorts);
  ASSERT_NE(audio, nullptr);
  for (bool input : {true, false}) {
    SCOPED_TRACE(input ? "input" : "output");
    ASSERT_EQ(audio->count(host_.plugin(), input), 1u);
    clap::AudioPortInfo info{};
    ASSERT_TRUE(audio->get(host_.plugin(), 0, input, &info));
    EXPECT_FALSE(audio->get(host_.plugin(), 1, input, &info));
    EXPECT_EQ(info.channelCount, 2u);
    EXPECT_STREQ(info.portType, "stereo");
    EXPECT_EQ(
        info.flags & (clap::kAudioPortIsMain | clap::kAudioPortSupports64Bits |
                      clap::kAudioPortPrefers64Bits),
        clap::kAudioPortIsMain | clap::kAudioPortSupports64Bits | clap::kAudioPortPrefers64Bits);
    EXPECT_EQ(info.inPlacePair, 0u);
  }
  const auto* notes = host_.extension<clap::PluginNotePorts>(clap::kExtNotePorts);
  ASSERT_NE(notes, nullptr);
  clap::NotePortInfo in{}, out{};
  ASSERT_EQ(notes->count(host_.plugin(), true), 1u);
  ASSERT_EQ(notes->count(host_.plugin(), false), 1u);
  ASSERT_TRUE(notes->get(host_.plugin(), 0, true, &in));
  ASSERT_TRUE(notes->get(host_.plugin(), 0, false, &out));
  EXPECT_EQ(in.supportedDialects, clap::kNoteDialectMidi | clap::kNoteDialectClap);
  EXPECT_EQ(in.preferredDialect, clap::kNoteDialectMidi);
  EXPECT_EQ(out.supportedDialects, clap::kNoteDialectMidi);
}

TEST_F(ShippedClap, ExtensionsOfferedAndUnknownOnesRefused) {
  for (const char* id :
       {clap::kExtAudioPorts, clap::kExtNotePorts, clap::kExtParams, clap::kExtState, clap::kExtGui,
        clap::kExtTimerSupport, clap::kExtLatency, clap::kExtTail, clap::kExtRender,
        clap::kExtPresetLoad, clap::kExtPresetLoadCompat})
    EXPECT_NE(host_.extension<void>(id), nullptr) << id;
  EXPECT_EQ(host_.extension<void>("clap.no-such-extension"), nullptr);
  EXPECT_EQ(host_.plugin()->getExtension(host_.plugin(), nullptr), nullptr);

  const auto* latency = host_.extension<clap::PluginLatency>(clap::kExtLatency);
  const auto* tail = host_.extension<clap::PluginTail>(clap::kExtTail);
  const auto* render = host_.extension<clap::PluginRender>(clap::kExtRender);
  activate();
  EXPECT_EQ(latency->get(host_.plugin()), 0u);
  // The longest frame and grain plus the release, at 44100 Hz.
  EXPECT_EQ(tail->get(host_.plugin()), 8u * 44100u);
  EXPECT_FALSE(render->hasHardRealtimeRequirement(host_.plugin()));
  EXPECT_TRUE(render->set(host_.plugin(), clap::kRenderOffline));
  EXPECT_FALSE(render->set(host_.plugin(), 7));
}

TEST_F(ShippedClap, LifeCycleRefusesCallsOutOfOrder) {
  // An instance of a host that offers no extensions at all.
  clap::Host bare{};
  bare.clapVersion = clap::kVersion;
  bare.name = "bare";
  bare.version = "0";
  const clap::PluginFactory* factory = host_.factory();
  const clap::Plugin* p = factory->createPlugin(factory, &bare, kReleasedId);
  ASSERT_NE(p, nullptr);
  EXPECT_FALSE(p->activate(p, 44100.0, 1, 512));  // before init
  ASSERT_TRUE(p->init(p));
  EXPECT_FALSE(p->init(p));             // once only
  EXPECT_FALSE(p->startProcessing(p));  // not active
  EXPECT_FALSE(p->activate(p, 0.0, 1, 512));
  EXPECT_FALSE(p->activate(p, 44100.0, 600, 512));
  EXPECT_FALSE(p->activate(p, std::nan(""), 1, 512));
  ASSERT_TRUE(p->activate(p, 44100.0, 1, 0x7FFFFFFFu));  // capped inside, not refused
  EXPECT_FALSE(p->activate(p, 44100.0, 1, 512));         // already active
  EXPECT_TRUE(p->startProcessing(p));
  p->stopProcessing(p);
  p->deactivate(p);
  // Destroying while active and processing (a careless host) ends cleanly.
  ASSERT_TRUE(p->activate(p, 48000.0, 1, 256));
  ASSERT_TRUE(p->startProcessing(p));
  p->destroy(p);
}

}  // namespace e2e_clap

namespace e2e_clap {

// A main-thread function called on another thread is told to the host's log,
// where the host offers a thread check (it still runs: the host may be
// right that it serialises its calls).
TEST_F(ShippedClap, CallsOffTheMainThreadAreLoggedThroughTheThreadCheck) {
  std::vector<std::uint8_t> bytes;
  bool saved = false;
  std::thread other([&] { saved = host_.saveState(&bytes); });
  other.join();
  EXPECT_TRUE(saved);
  ASSERT_EQ(host_.record().logs.size(), 1u);
  EXPECT_EQ(host_.record().logs[0], "5: Quillet: state save called off the main thread");
  EXPECT_TRUE(host_.saveState(&bytes));
  EXPECT_EQ(host_.record().logs.size(), 1u);
}

}  // namespace e2e_clap
