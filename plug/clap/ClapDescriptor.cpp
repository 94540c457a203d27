#include "plug/clap/ClapDescriptor.h"

namespace plug {

namespace {

#define QUILLET_CLAP_SITE "https://" QUILLET_WEB_HOST "/"

const char* const kFeatures[] = {"audio-effect", "granular", "glitch", "stereo", nullptr};

const clap::PluginDescriptor kDescriptor = {
    clap::kVersion,
    kClapPluginId,
    "Quillet",
    "Vellum Music",
    QUILLET_CLAP_SITE,
    QUILLET_CLAP_SITE,
    QUILLET_CLAP_SITE,
    QUILLET_VERSION_TEXT,
    "Granular effect: grains of the input, or notes played from MIDI",
    kFeatures,
};

}  // namespace

const clap::PluginDescriptor& ClapDescriptor() { return kDescriptor; }

}  // namespace plug
