// Quillet as CLAP hosts list it: the one plug-in descriptor of the library.
//
// kClapPluginId names the plug-in in every project and preset a CLAP host
// stores: it was chosen once and never changes, whatever the build settings.
#pragma once

#include "plug/clap/ClapAbi.h"

namespace plug {

constexpr const char* kClapPluginId = "com.vellum-music.quillet";

// Valid for the library's lifetime. The web addresses come from the build
// settings (QUILLET_WEB_HOST), the version from the project's. [any thread]
const clap::PluginDescriptor& ClapDescriptor();

}  // namespace plug
