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

TEST(HostIdentification, QuirkVendorsByExactName) {
  EXPECT_TRUE(IsChunkQuirkVendor("Native Instruments"));
  EXPECT_TRUE(IsChunkQuirkVendor("NATIVE instruments"));
  EXPECT_TRUE(IsChunkQuirkVendor("JUCE VST Host"));
  EXPECT_FALSE(IsChunkQuirkVendor("Native Instruments GmbH"));
  EXPECT_FALSE(IsChunkQuirkVendor(""));
}

TEST(HostIdentification, AskedOnceAndCachedWithVersion) {
  testplug::TestHost host;
  host.product = "Audition CS6";
  host.vendorVersion = 50201;
  testplug::TestHost::current = &host;
  testplug::TestPlug plug(testplug::TestHost::Callback, "2-2 4-4");
  EXPECT_EQ(plug.GetHostKind(), kHostAudition);
  EXPECT_EQ(plug.GetHostKind(), kHostAudition);
  EXPECT_EQ(host.productAsked, 1);
  EXPECT_EQ(plug.GetHostVersion(), 0x00050201);

  // A stereo-only host gets two inputs at effOpen, however many the plug-in has.
  plug.Dispatch(vst::effOpen);
  EXPECT_EQ(plug.GetAEffect()->numInputs, 4);  // the counts stay; channels 3 and 4 are off
  EXPECT_FALSE(plug.IsInChannelConnected(2));
  EXPECT_TRUE(plug.IsInChannelConnected(1));

  testplug::TestHost silent;
  testplug::TestHost::current = &silent;
  testplug::TestPlug other;
  EXPECT_EQ(other.GetHostKind(), kHostUnknown);
  EXPECT_EQ(other.GetHostVersion(), 0);
  EXPECT_EQ(silent.versionAsked, 0);
  EXPECT_EQ(other.GetHostKind(), kHostUnknown);
  EXPECT_EQ(silent.productAsked, 1);
  testplug::TestHost::current = nullptr;
}
