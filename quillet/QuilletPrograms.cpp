// Quillet's ten factory programs, rebuilt at every construction.
#include <mutex>
#include <vector>

#include "quillet/Quillet.h"

namespace {

struct FactoryProgram {
  const char* name;
  // Parameters 0 to 21 (enumerations by value index); 22 to 28 are 0.
  double values[quillet::kUsedParamCount];
};

// Value indexes of the texts used below.
constexpr double kMsec = 0, kSync = 1, kFreq = 2, kMidi = 3;  // Grain Mode
constexpr double k16th = 4, k8th = 7, kQuarterTriplet = 8, kQuarter = 10;
constexpr double kOff = 0, kOn = 1;

// clang-format off
const FactoryProgram kPrograms[Quillet::kPresetCount] = {
  //                   Vol Mix  Mode   GLen  GSync            GFreq GOvl GIn  GSkew GOut FLen FSync     FHost FOvl FIn  FSkew FOut Poly A  D  S  R
  {"default",          {1, 1,   kMsec, 20,   kQuarter,        110,  0,   0,   0,    0,   160, kQuarter, kOff, 0,   0,   0,    0,   4,   0, 0, 1, 0.05}},
  {"Sync 2 Host",      {1, 1,   kSync, 20,   k16th,           110,  0,   0,   0,    0,   160, kQuarter, kOn,  0,   0,   0,    0,   4,   0, 0, 1, 0.05}},
  {"Frequency",        {1, 1,   kFreq, 20,   kQuarter,        110,  0,   0.2, 0,    0.2, 50,  kQuarter, kOff, 50,  0,   0,    0,   4,   0, 0, 1, 0.05}},
  {"MIDI Standard",    {1, 1,   kMidi, 20,   kQuarter,        110,  0,   0.2, 0,    0.2, 50,  kQuarter, kOff, 50,  0,   0,    0,   4,   0, 0, 1, 0.05}},
  {"MIDI Synced",      {1, 1,   kMidi, 20,   kQuarter,        110,  0,   0.2, 0,    0.2, 50,  k16th,    kOn,  50,  0,   0,    0,   4,   0, 0, 1, 0.05}},
  {"Ring Modulator",   {1, 1,   kMsec, 2000, kQuarter,        110,  0,   0,   0,    0,   3,   kQuarter, kOff, 0,   0.5, 0,    0.5, 4,   0, 0, 1, 0.05}},
  {"Synced Reversals", {1, 1,   kSync, 20,   k16th,           110,  0,   0,   -1,   0.5, 160, kQuarter, kOn,  50,  0.5, 0.4,  0,   4,   0, 0, 1, 0.05}},
  {"Sequenced",        {1, 1,   kFreq, 20,   kQuarter,        110,  33,  0.2, 0,    0.2, 160, k16th,    kOn,  0,   0,   -1,   0.5, 4,   0, 0, 1, 0.05}},
  {"Slap Back",        {1, 0.7, kSync, 20,   kQuarterTriplet, 110,  33,  0,   0,    0,   160, k8th,     kOn,  50,  0,   -1,   0.7, 4,   0, 0, 1, 0.05}},
  {"Strange Mix",      {1, 0.5, kMsec, 60,   kQuarter,        110,  50,  0.2, 0,    0.2, 160, kQuarter, kOff, 50,  0,   0,    0,   4,   0, 0, 1, 0.05}},
};
// clang-format on

static_assert(quillet::kUsedParamCount == 22, "the table lists parameters 0 to 21");

}  // namespace

void Quillet::MakeFactoryPreset(int index) {
  if (index < 0 || index >= kPresetCount) return;
  double values[kParamCount] = {};
  for (int i = 0; i < quillet::kUsedParamCount; ++i) values[i] = kPrograms[index].values[i];
  MakePresetFromValues(index, kPrograms[index].name, values);
}

void Quillet::ResetCurrentPreset() {
  std::vector<double> before;
  std::vector<double> after;
  {
    plug::InstanceLock lock(Mutex());
    for (int i = 0; i < NParams(); ++i) before.push_back(GetParam(i)->NormalizedValue());
    MakeFactoryPreset(GetCurrentPresetIdx());
    for (int i = 0; i < NParams(); ++i) after.push_back(GetParam(i)->NormalizedValue());
  }
  // As Effect::SelectPreset: the host hears it after the lock is released,
  // so a host that calls back from another thread inside the callback does
  // not wait for us forever.
  NotifyHostDisplayChanged();
  for (int i = 0; i < static_cast<int>(after.size()); ++i) {
    const size_t k = static_cast<size_t>(i);
    if (after[k] != before[k]) NotifyHostParamValue(i, after[k]);
  }
}
