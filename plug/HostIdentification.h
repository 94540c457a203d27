// Which host runs the plug-in, from the product name the host reports about
// itself, whatever the format. Quirks of one format's hosts live in that
// format's binding (plug/vst2/Vst2HostQuirks.h).
#pragma once

namespace plug {

// HostKind values. -1: not asked yet; 0: unknown.
enum HostKind : int {
  kHostNotAsked = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostAbletonLive = 9,
  kHostMelodyne = 12,
  kHostVstManLib = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVst3TestHost = 27,
  kHostArdour = 28,
  kHostRenoise = 29,
  kHostOpenMPT = 30,
};

// The kind for a product string: the first of the known names it contains,
// ignoring case; kHostUnknown when none is.
int HostKindFromProductString(const char* product);

// Hosts that cannot handle more than two channels each way.
bool IsStereoOnlyHost(int kind);

}  // namespace plug
