// The preset-discovery factory: one provider that tells a host's preset
// browser about the ten factory presets inside the library (location kind
// PLUGIN, load keys "0".."9"); the host loads one through the instance's
// preset-load extension.
#pragma once

#include "plug/clap/ClapAbi.h"

namespace plug {

// [any thread]
const clap::PresetDiscoveryFactory* ClapPresetDiscoveryFactory();

}  // namespace plug
