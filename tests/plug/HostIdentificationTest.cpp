#include "plug/HostIdentification.h"

#include <gtest/gtest.h>

#include "TestPlug.h"

using namespace plug;

TEST(HostIdentification, ProductStringsInTableOrder) {
  EXPECT_EQ(HostKindFromProductString("Cubase Pro 12"), kHostCubase);
  EXPECT_EQ(HostKindFromProductString("REAPER"), kHostReaper);
  EXPECT_EQ(HostKindFromProductString("Ableton Live 11"), kHostAbletonLive);
  EXPECT_EQ(HostKindFromProductString("Studio One by PreSonus"), kHostStudioOne);
  EXPECT_EQ(HostKindFromProductString("live inside cubase"), kHostCubase);
  EXPECT_EQ(HostKindFromProductString(""), kHostUnknown);
  EXPECT_EQ(HostKindFromProductString("Some Other Host"), kHostUnknown);
  EXPECT_EQ(HostKindFromProductString(nullptr), kHostUnknown);
}

// The base asks its services once, whatever the answer, and a stereo-only
// host gets two inputs when the binding first initialises for it.
TEST(HostIdentification, AskedOnceThroughTheServicesAndStereoOnlyHostsLimited) {
  testplug::RecordingServices services;
  services.product = "Audition CS6";
  services.version = 0x00050201;
  testplug::TestPlug plugin("2-2 4-4");
  EXPECT_EQ(plugin.GetHostKind(), kHostNotAsked);  // no services: nothing asked
  plugin.SetHostServices(&services);
  plugin.SetInputConnections(0, plugin.NInChannels(), true);
  EXPECT_EQ(plugin.GetHostKind(), kHostAudition);
  EXPECT_EQ(plugin.GetHostKind(), kHostAudition);
  EXPECT_EQ(services.calls, std::vector<std::string>{"product"});
  EXPECT_EQ(plugin.GetHostVersion(), 0x00050201);
  {
    InstanceLock lock(plugin.Mutex());
    plugin.HostInit();
  }
  EXPECT_EQ(plugin.NInChannels(), 4);  // the counts stay; channels 3 and 4 are off
  EXPECT_TRUE(plugin.IsInChannelConnected(1));
  EXPECT_FALSE(plugin.IsInChannelConnected(2));

  testplug::RecordingServices silent;
  testplug::TestPlug other;
  other.SetHostServices(&silent);
  EXPECT_EQ(other.GetHostKind(), kHostUnknown);
  EXPECT_EQ(other.GetHostKind(), kHostUnknown);
  EXPECT_EQ(silent.calls.size(), 1u);
}
