#include "plug/HostIdentification.h"

#include <cstring>

#include "plug/TextUtil.h"

namespace plug {

namespace {

struct KnownHost {
  const char* text;
  int kind;
};

// Tested in this order; the first contained text wins ("live" is a common
// word, so the more specific names come first).
constexpr KnownHost kKnownHosts[] = {
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVstManLib},
    {"aulab", kHostAULab},
    {"garageband", kHostGarageBand},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"vst3plugintesthost", kHostVst3TestHost},
    {"protools", kHostProTools},
    {"ardour", kHostArdour},
    {"openmpt", kHostOpenMPT},
    {"renoise", kHostRenoise},
    {"standalone", kHostStandalone},
};

constexpr int kTextBuffer = 256;

}  // namespace

int HostKindFromProductString(const char* product) {
  char text[kTextBuffer];
  CopyText(text, product, sizeof text);
  LowerCaseAscii(text);
  for (const KnownHost& host : kKnownHosts) {
    if (std::strstr(text, host.text)) return host.kind;
  }
  return kHostUnknown;
}

bool IsStereoOnlyHost(int kind) {
  return kind == kHostForte || kind == kHostAudition || kind == kHostOrion ||
         kind == kHostSAWStudio;
}

}  // namespace plug
