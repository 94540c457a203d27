// What only VST 2 hosts need: reading their vendor version, and the hosts
// whose bank-chunk handling needs program-only chunks.
#pragma once

namespace plug {

// True when the vendor string, ignoring case, is exactly one of the vendors
// whose hosts mishandle bank chunks.
bool IsChunkQuirkVendor(const char* vendor);

// The host's decimal vendor version (major * 10000 + minor * 100 + patch) as
// 0xMMMMmmpp.
int HostVersionFromDecimal(long long decimal);

}  // namespace plug
