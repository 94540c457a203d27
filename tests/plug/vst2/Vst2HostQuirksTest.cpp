// What only VST 2 hosts need: the vendor-string quirk, the decimal vendor
// version, and the host identified through the callback at effOpen.
#include "plug/vst2/Vst2HostQuirks.h"

#include <gtest/gtest.h>

#include "Vst2TestPlug.h"
#include "plug/HostIdentification.h"

using namespace plug;
using testplug::BoundPlug;
using testplug::TestHost;

TEST(Vst2HostQuirks, QuirkVendorsByExactName) {
  EXPECT_TRUE(IsChunkQuirkVendor("Native Instruments"));
  EXPECT_TRUE(IsChunkQuirkVendor("NATIVE instruments"));
  EXPECT_TRUE(IsChunkQuirkVendor("JUCE VST Host"));
  EXPECT_FALSE(IsChunkQuirkVendor("Native Instruments GmbH"));
  EXPECT_FALSE(IsChunkQuirkVendor(""));
}

TEST(Vst2HostQuirks, DecimalVendorVersions) {
  EXPECT_EQ(HostVersionFromDecimal(50201), 0x00050201);
  EXPECT_EQ(HostVersionFromDecimal(10000), 0x00010000);
  EXPECT_EQ(HostVersionFromDecimal(0), 0);
  EXPECT_EQ(HostVersionFromDecimal(-5), 0);
  EXPECT_EQ(static_cast<unsigned>(HostVersionFromDecimal(99999999999LL)) >> 16,
            0xFFFFu);  // saturates
}

TEST(Vst2HostQuirks, HostAskedOnceAtOpenWithItsVersion) {
  TestHost host;
  host.product = "Audition CS6";
  host.vendorVersion = 50201;
  TestHost::current = &host;
  BoundPlug plug("2-2 4-4");
  EXPECT_EQ(host.productAsked, 0);  // not at creation
  plug.Dispatch(vst::effOpen);
  plug.Dispatch(vst::effOpen);
  EXPECT_EQ(host.productAsked, 1);
  EXPECT_EQ(host.versionAsked, 1);
  EXPECT_EQ(plug.p.GetHostKind(), kHostAudition);
  EXPECT_EQ(plug.p.GetHostVersion(), 0x00050201);
  // A stereo-only host: the counts stay; inputs 3 and 4 are off.
  EXPECT_EQ(plug.fx()->numInputs, 4);
  EXPECT_FALSE(plug.p.IsInChannelConnected(2));
  EXPECT_TRUE(plug.p.IsInChannelConnected(1));

  // A host that gives no product is not asked for its version.
  TestHost silent;
  TestHost::current = &silent;
  BoundPlug other;
  other.Dispatch(vst::effOpen);
  EXPECT_EQ(other.p.GetHostKind(), kHostUnknown);
  EXPECT_EQ(other.p.GetHostVersion(), 0);
  EXPECT_EQ(silent.productAsked, 1);
  EXPECT_EQ(silent.versionAsked, 0);
  TestHost::current = nullptr;
}
